#pragma once

// The update's progress dialog and its items.
#define IDD_UPDATE_PROCESS 101
#define IDC_PROCESS_TEXT 1001
#define IDC_PROGRESS_TOTAL 1002
#define IDC_PROGRESS_FILE 1003
