/* Resources of the window-layer tests. */
#pragma once
#include "ui/StandardIds.h"

#define IDR_TEST_FRAME 200
#define IDD_TEST_DIALOG 201
#define IDD_TEST_FORM 202
#define IDC_TEST_EDIT 1100
#define IDC_TEST_LIST 1101

/* Commands: handled by the view, the frame, the application, nobody. */
#define ID_TEST_VIEW_CMD 40001
#define ID_TEST_FRAME_CMD 40002
#define ID_TEST_APP_CMD 40003
#define ID_TEST_NOBODY_CMD 40004
#define ID_TEST_CHECKED_CMD 40005

#define ID_TEST_PANE_SHORT 40101
#define ID_TEST_PANE_LONG 40102
