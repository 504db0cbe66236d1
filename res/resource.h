#pragma once

// Dialogs, strings, icons and commands of the program's resources (Kelvane.rc).
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN_DIALOG 102
#define IDD_PLOT 103
#define IDS_PLOT 104
#define IDR_MAINFRAME 128
#define IDM_ABOUTBOX 0x0010
#define IDM_PLOT 0x0020
#define IDC_FILE_LIST 1000
#define IDC_ADD_FILES 1001
#define IDC_AREA 1002
#define IDC_AREA_SHOW 1003
#define IDC_CLEAR_FILES 1004
#define IDM_PLOT_COPY 2001
#define IDM_PLOT_SAVE_SVG 2002
#define IDM_PLOT_SAVE_MERGED 2003
#define IDM_PLOT_SAVE_SUMMARY 2004
