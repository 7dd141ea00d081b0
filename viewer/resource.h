// Resource ids of the event log viewer, Jotview.exe.
#pragma once

#define IDD_JOTVIEW_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_JOB_ERROR 130
#define IDB_SYSTEM_ERROR 131
#define IDB_INFORMATION 132
#define IDB_LOCK 133
#define IDB_WARNING 134

#define IDC_REFRESH 3
#define IDC_CLEAR 4
#define IDC_LIST 1000

#ifndef ID_HELP
#define ID_HELP 57670
#endif
