#pragma once

// Identifiers shared by the framework and the programs' resource scripts.
// Only #define lines: windres reads this file too.

// Commands the framework itself knows.
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
#define ID_EDIT_COPY 57634
#define ID_EDIT_UNDO 57643
#define ID_EDIT_REDO 57644
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// Child window ids the frame lays out.
#define IDW_TOOLBAR 0xE800
#define IDW_PANE_FIRST 0xE900

// String 57344 is the program's name: the caption of every framework
// message box.
#define IDS_APP_TITLE 57344
// Data-exchange failure texts; every program's string table holds them
// (res/ui_strings.rc).
#define IDS_PARSE_INT 61696
#define IDS_PARSE_INT_RANGE 61697

// Resource type of a toolbar layout: WORD version (1), WORD button width,
// WORD button height, WORD count, then count WORD command ids (0 = separator).
#define RT_TOOLBAR_LAYOUT 241
