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

/* Options dialog */
#define IDD_TOOLS_OPTIONS 147
#define IDC_OPT_ON_CLUSTER 1021
#define IDC_OPT_CLUSTER_GROUP_LABEL 1022
#define IDC_OPT_CLUSTER_GROUP 1023
#define IDC_OPT_ASSIGNMENT_LABEL 1024
#define IDC_OPT_ASSIGNMENTS 1025
#define IDC_OPT_SEND_TO_GATEPOST 1026
#define IDC_OPT_USE_DVSUBMIT 1027
#define IDC_OPT_USE_FORCE_PRINTER 1028
#define IDC_OPT_FORCE_PRINTER 1029
#define IDC_OPT_PRINT_UNPROCESSED 1074
#define IDC_OPT_IGNORE_JOB 1075
#define IDC_OPT_ASK_USER 1076
#define IDC_OPT_PROCESSOR_STATUS 1077
#define IDC_OPT_REMOVE_PROCESSOR 1078
#define IDC_OPT_INSTALL_PROCESSOR 1079
#define IDC_OPT_PROCESS_AS_PCL 1080

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

/* Job information and job preview dialogs */
#define IDD_VIEW_JOB_INFORMATION 132
#define IDD_PREVIEW_JOB 137
/* The preview frame: toolbar bitmap, toolbar, menu and accelerators. */
#define IDR_PREVIEW_FRAME 131
#define IDC_PREVIEW_PLACEHOLDER 1026
#define IDC_INFO_JOB_NAME 1003
#define IDC_INFO_TOTAL_PAGES 1004
#define IDC_INFO_FILE_NUMBER 1061
#define IDC_INFO_DATE_SPOOLED 1062
#define IDC_INFO_TIME_SPOOLED 1063
#define IDC_INFO_USER_NAME 1064
#define IDC_INFO_SOURCE_PRINTER 1065
#define IDC_INFO_DEST_PRINTER 1066
#define IDC_INFO_SCENARIO 1067
#define IDC_INFO_TEMPLATES 1068
#define ID_INDICATOR_PAGE 107
#define ID_INDICATOR_ZOOM 108
#define ID_PREVIEW_ZOOM_IN 32808
#define ID_PREVIEW_ZOOM_OUT 32809
#define ID_PREVIEW_FORWARD_10 32814
#define ID_PREVIEW_BACK_10 32815
#define ID_PREVIEW_LAST_PAGE 32816
#define ID_PREVIEW_FIRST_PAGE 32817
#define ID_PREVIEW_PREV_PAGE 32819
#define ID_PREVIEW_NEXT_PAGE 32820

/* Scenario editor and its orientation pages; icon 136 is the pencil of the
   pages' edit-template buttons. */
#define IDD_EDIT_SCENARIO 103
#define IDD_PROP_SCENARIO 136
#define IDI_PENCIL 136
#define IDC_SCN_TAB 1006
#define IDC_SCN_DEFAULT_TEMPLATE 1007
#define IDC_SCN_EDIT_DEFAULT 1008
#define IDC_SCN_EDIT_BACKSIDE 1009
#define IDC_SCN_BACKSIDE_TEMPLATE 1010
#define IDC_SCN_USE_BACKSIDE 1011
#define IDC_SCN_FORCE_DUPLEX 1012
#define IDC_SCN_DUPLEX 1013
#define IDC_SCN_FORCE_COLOR 1014
#define IDC_SCN_COLOR 1015
#define IDC_SCN_FORCE_DEVMODE 1016
#define IDC_SCN_NEW_DRIVER 1017
#define IDC_SCN_FORCE_COPIES 1018
#define IDC_SCN_COPIES 1019
#define IDC_SCN_COPIES_SPIN 1020
#define IDC_SCN_DRIVER_LIST 1021
#define IDC_SCN_EDIT_DRIVER 1022
#define IDC_SCN_DELETE_DRIVER 1023
#define IDC_SCN_DRIVER_LABEL 1051
