#pragma once

// A small fixed-size dialog: two push buttons and a text.
#define IDD_TEST_PLAIN 201
#define IDC_TEST_ONE 2001
#define IDC_TEST_TWO 2002
#define IDC_TEST_TEXT 2003

// A template id that no resource has.
#define IDD_TEST_MISSING 299
