/* Standard command, indicator and string numbers that the window-class layer
   handles itself (the Toolbar and Status Bar toggles, the key indicators, the
   idle prompt of the status bar, Exit). Plain #defines so that resource
   scripts can include this file as well as C++ code; a program's own
   resource.h includes it and adds its own ids. */
#pragma once

/* The program's title for message-box captions. */
#define IDS_APP_TITLE 57344

/* The status bar's idle message ("For Help, press F1"). */
#define IDS_IDLE_MESSAGE 57345

#define ID_APP_EXIT 57665

#define ID_INDICATOR_CAPS 59137
#define ID_INDICATOR_NUM 59138
#define ID_INDICATOR_SCRL 59139

#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393

/* A separator in a toolbar's button table or a status bar's pane table, and
   the id of the stretching message pane. */
#define ID_SEPARATOR 0
