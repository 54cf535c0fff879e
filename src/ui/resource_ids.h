// resource_ids.h - ids of the program's dialog templates, icon and
// controls. Plain macros: the resource compiler reads this file too.
#pragma once

#define IDR_MAINFRAME 128

// Main dialog: product name, version and copyright.
#define IDD_ORBDL_DIALOG 102
#define IDC_PRODUCT_NAME 1010
#define IDC_COPYRIGHT 1013

// Progress dialog.
#define IDD_PROGRESS 131
#define IDC_PROGRESS_BAR 1002
#define IDC_STATUS_TEXT 1003
#define IDC_TITLE_TEXT 1004
#define IDC_SIZE_TEXT 1005
#define IDC_PERCENT_TEXT 1012

// Link notice.
#define IDD_URL_MESSAGE 132
#define IDC_MESSAGE 1006
#define IDC_LINK 1007
