#pragma once

// Resource, control, command and string ids of the capture toolbar
// (norpa.exe). Only #define lines: windres reads this file too. The About
// box's ids are in common/about_ids.h, the framework's in
// ui/resource_ids.h.
#include "common/about_ids.h"
#include "ui/resource_ids.h"

// Program icon; the menus: pop-up 0 the toolbar's, pop-up 1 the capture
// overlay's.
#define IDR_MAINFRAME 128
#define IDR_TOOLBAR_MENU 129
// The capture overlay's cursor and accelerators (Ctrl+A).
#define IDC_CAPTURE_CURSOR 139
#define IDR_CAPTURE_KEYS 150

// The toolbar's images (type "PNG", 32-bit with alpha).
#define IDP_MENU_ARROW 140
#define IDP_BACKGROUND 141
#define IDP_PRESSED_FACE 142
#define IDP_CAPTURE_ICON 143
#define IDP_HOVER_LEFT 144
#define IDP_HOVER_RIGHT 145

// Dialogs.
#define IDD_CAPTURE 8
#define IDD_NORPA_TOOLBAR 102
#define IDD_OPTIONS 103
#define IDD_CHECK_VERSION 104

// Toolbar buttons.
#define IDC_CAPTURE_BUTTON 1005
#define IDC_MENU_BUTTON 1006

// Options dialog.
#define IDC_OPTION_AUTORUN 1009
#define IDC_OPTION_HIDE 1010
#define IDC_OPTION_HOTKEY 1013

// Version-check dialog: the stage the check is at.
#define IDC_VERSION_STAGE 1020

// Commands.
#define ID_TOOLBAR_EXIT 32771
#define ID_OPTIONS 32772
#define ID_OPEN_IMAGE_FILE 32785
#define ID_CAPTURE_FULL_SCREEN 32789
#define ID_PASTE_CLIPBOARD 32792
#define ID_VIEW_HISTORY 32795
#define ID_CHECK_VERSION 32802

// Strings (57344, the message boxes' caption, is IDS_APP_TITLE).
#define IDS_HOTKEY_FAILED 57345
#define IDS_EXIT_QUESTION 57346
#define IDS_EDITOR_FAILED 57347
#define IDS_BITMAP_FAILED 57348
#define IDS_SAVE_FAILED 57349
#define IDS_NEW_VERSION_QUESTION 57350
#define IDS_SCREEN_FAILED 57351
