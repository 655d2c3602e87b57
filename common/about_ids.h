#pragma once

// Ids of the About box that both programs show (common_ui/about_dlg.h); each
// program's resource script has its own template and texts under them.
// Only #define lines: windres reads this file too.
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_WEBSITE 1017
#define IDC_ABOUT_VERSION 1019
// "版本%d.%d.%d.%d" and the product web site's address.
#define IDS_VERSION_FORMAT 129
#define IDS_WEBSITE_ADDRESS 130
