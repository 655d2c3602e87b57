#pragma once

// Resource, control, command and string ids of the image editor (vomla.exe).
// Only #define lines: windres reads this file too. A leaf that every editor
// folder may include, the window-free core too, so it includes only the
// About box's ids, a leaf of defines too; the framework's own commands
// (ID_FILE_OPEN, ID_EDIT_UNDO...) are in ui/resource_ids.h.
#include "common/about_ids.h"

// The main frame: menu bar, accelerators, icon and title string share it.
#define IDR_MAINFRAME 128
#define IDR_MAIN_TOOLBAR 312
// Pen pop-ups shown under the toolbar's drop-down arrows: pop-up 0 pencil,
// 1 highlighter, 2 mosaic.
#define IDR_PEN_POPUPS 314

// Toolbar button images: seven 35 x 32 images in toolbar order (type "PNG").
#define IDP_TOOLBAR_NORMAL 318
#define IDP_TOOLBAR_DISABLED 319
#define TOOLBAR_IMAGE_WIDTH 35
#define TOOLBAR_IMAGE_HEIGHT 32

// The view's cursors, one per tool; the highlighter's follows its colour.
#define IDC_CURSOR_PENCIL 317
#define IDC_CURSOR_MOSAIC 318
#define IDC_CURSOR_HIGHLIGHTER_YELLOW 319
#define IDC_CURSOR_HIGHLIGHTER_PURPLE 320
#define IDC_CURSOR_HIGHLIGHTER_CYAN 321
#define IDC_CURSOR_HAND 322

// Dialogs.
#define IDD_UPLOAD_INPUT 9
#define IDD_PENCIL_WIDTH 101
#define IDD_SAVE_FORMAT 104
#define IDD_UPLOAD_PROGRESS 105
#define IDD_MOSAIC_STRENGTH 106
#define IDD_UPLOAD_RESPONSE 107

// Pen width and mosaic strength dialogs.
#define IDC_PENCIL_WIDTH_EDIT 1002
#define IDC_PENCIL_WIDTH_SPIN 1003
#define IDC_MOSAIC_STRENGTH_EDIT 1012
#define IDC_MOSAIC_STRENGTH_SPIN 1013

// Save-format dialog.
#define IDC_SAVE_FORMAT_LIST 1005
#define IDC_SAVE_QUALITY_EDIT 1007
#define IDC_SAVE_SKIP 1009
#define IDC_SAVE_QUALITY_SLIDER 1019
#define IDC_SAVE_QUALITY_PRESET 1020

// Upload dialogs: input, progress, response.
#define IDC_UPLOAD_DESCRIPTION 1007
#define IDC_UPLOAD_SIGNATURE 1008
#define IDC_UPLOAD_IMAGE_SIZE 1027
#define IDC_UPLOAD_PROGRESS_BAR 1010
#define IDC_UPLOAD_BYTES 1016
#define IDC_UPLOAD_STAGE 1017
#define IDC_RESPONSE_ADDRESS 1007
#define IDC_RESPONSE_COPY 1009
#define IDC_RESPONSE_TITLES 1021
#define IDC_RESPONSE_OPEN 1022
#define IDC_RESPONSE_NOTICE 1026

// Commands of the editor's own (the framework's are in ui/resource_ids.h).
#define ID_TOOL_PENCIL 32780
#define ID_TOOL_HIGHLIGHTER 32785
#define ID_TOOL_MOSAIC 32786
#define ID_PENCIL_BLACK 32812
#define ID_PENCIL_RED 32813
#define ID_PENCIL_BLUE 32814
#define ID_PENCIL_CUSTOM_COLOR 32815
#define ID_PENCIL_THIN 32818
#define ID_PENCIL_MEDIUM 32820
#define ID_PENCIL_THICK 32821
#define ID_PENCIL_CUSTOM_WIDTH 32822
#define ID_HIGHLIGHTER_YELLOW 32823
#define ID_HIGHLIGHTER_PURPLE 32825
#define ID_HIGHLIGHTER_CYAN 32826
#define ID_MOSAIC_WEAK 32827
#define ID_MOSAIC_MEDIUM 32828
#define ID_MOSAIC_STRONG 32829
#define ID_TOOL_HAND 32834
#define ID_MOSAIC_CUSTOM 32838
#define ID_FILE_SAVE_TO_SERVER 32849
#define ID_VIEW_HISTORY 32858

// Strings (128, the frame title, is IDR_MAINFRAME; 129 and 130, the About
// box's, are in common/about_ids.h).
#define IDS_OLE_INIT_FAILED 100
#define IDS_SAVE_BEFORE_OPEN 131
#define IDS_MULTI_FRAME_WARNING 132
#define IDS_OPEN_FILTER 133
#define IDS_SAVE_FAILED 134
#define IDS_UPLOAD_DEFAULT_DESCRIPTION 135
#define IDS_SAVE_BEFORE_CLOSE 136
#define IDS_SAVE_FORMAT_UNSUPPORTED 137
#define IDS_SAVE_NO_BITMAP 138
