/* Resource and command ids of the controller, Dorvane.exe. The numbers are
   the system's own; the standard ones the window layer handles itself come
   from ui/StandardIds.h. Plain #defines: Dorvane.rc includes this file. */
#pragma once
#include "ui/StandardIds.h"

/* Main frame: menu, toolbar bitmap, accelerators, icon and the document
   string are all resource 128. */
#define IDR_MAINFRAME 128
#define IDR_SPOOL_CONTEXT 133
#define IDB_ABOUT 146

#define IDD_ABOUTBOX 100
#define IDD_DORVANE_FORM 101

/* About box */
#define IDC_ABOUT_PICTURE 1069
#define IDC_ABOUT_VERSION 1071
#define IDC_ABOUT_NOTICE 1073

/* Password dialog */
#define IDD_PASSWORD 175
#define IDC_PASSWORD_EXISTING 1067
#define IDC_PASSWORD_NEW 1068
#define IDC_PASSWORD_VERIFY 1069
#define IDC_PASSWORD_EXISTING_LABEL 1070
#define IDC_PASSWORD_NEW_LABEL 1071
#define IDC_PASSWORD_VERIFY_LABEL 1072

/* Value prompt dialog */
#define IDD_RENAME 106
#define IDC_RENAME_PROMPT 1058
#define IDC_RENAME_VALUE 1059

/* Spool list form */
#define IDC_JOB_LIST 1001
#define IDC_DIR_LIST 1002

/* Strings */
#define IDS_OLE_INIT_FAILED 100
#define IDS_UNTITLED 103

/* Status-bar panes */
#define ID_INDICATOR_JOB_COUNT 101
#define ID_INDICATOR_LAST_JOB 102

/* Commands of the controller */
#define ID_FILE_SAVE_PRINT_JOBS 32772
#define ID_VIEW_REFRESH_NOW 32776
#define ID_FILE_VIEW_JOB_INFORMATION 32780
#define ID_FILE_DELETE_JOBS 32782
#define ID_FILE_EMPTY_SPOOL 32783
#define ID_VIEW_EVENT_LOG 32786
#define ID_TOOLS_OPTIONS 32788
#define ID_EDIT_SCENARIO_FILE 32793
#define ID_EDIT_PAGE_TEMPLATE 32794
#define ID_EDIT_JOB_PROCESS 32797
#define ID_VIEW_AUTO_REFRESH 32805
#define ID_TOOLS_PASSWORD 32806
#define ID_TOOLS_LAST_JOB_NUMBER 32807

/* Standard commands used by the controller's menus and accelerators */
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_PRINT_SETUP 57606
#define ID_FILE_PRINT 57607
#define ID_FILE_PRINT_PREVIEW 57609
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_HELP_FINDER 57667
#define ID_CONTEXT_HELP 57669
#define ID_HELP 57670
#define ID_DEFAULT_HELP 57671
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681

/* Child windows of the main frame */
#define IDW_VIEW 59648
#define IDW_TOOLBAR 59392
#define IDW_STATUS_BAR 59393
