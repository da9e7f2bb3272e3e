#pragma once

// A small fixed-size dialog: two push buttons and a text.
#define IDD_TEST_PLAIN 201
#define IDC_TEST_ONE 2001
#define IDC_TEST_TWO 2002
#define IDC_TEST_TEXT 2003

// A template id that no resource has.
#define IDD_TEST_MISSING 299

// A sizable dialog with four texts for anchoring.
#define IDD_TEST_SIZABLE 202
#define IDC_TEST_ANCHOR3 2101
#define IDC_TEST_ANCHOR5 2102
#define IDC_TEST_ANCHOR7 2103
#define IDC_TEST_ANCHOR0 2104

// A sizable dialog with two stacked texts on the left and one tall text on the
// right, a narrow gap between them.
#define IDD_TEST_SPLIT 203
#define IDC_TEST_LEFT_TOP 2201
#define IDC_TEST_RIGHT 2202
#define IDC_TEST_LEFT_BOTTOM 2203
