// Identifiers of the client's resources and of the controls in its dialog
// templates. Used by inkclient.rc and by the windows that load them.
#pragma once

#define IDR_MAINFRAME 128          // program icon and accelerator table
#define IDD_MAINDLG 129
#define IDD_PAGES 130
#define IDD_GOTOPAGE 131

#define IDB_NAVIGATION_STRIP 104   // first, previous, next, last
#define IDB_VIEW_STRIP 219         // zoom in, zoom out, fit, real size, save
#define IDB_SAVE_BUTTON 202

#define IDC_CURSOR_ZOOM_IN 140
#define IDC_CURSOR_ZOOM_OUT 141
#define IDC_CURSOR_PAN 142
#define IDC_CURSOR_LINK 143

// Main window.
#define IDC_SAVE_PDF 1             // IDOK
#define IDC_ADJUST_SETTINGS 3
#define IDC_INFO 1007
#define IDC_PREVIEW_FRAME 1000
#define IDC_PROFILE_LIST 1001

// Page preview.
#define IDC_BOTTOM_TOOLBAR 1013
#define IDC_PAGE_INDICATOR 1014
#define IDC_PAGE_VIEW 1015
#define IDC_RIGHT_TOOLBAR 1016

// Go to page.
#define IDC_PAGE_NUMBER 1019
#define IDC_PAGE_RANGE 1020

// Commands.
#define ID_FIRST_PAGE 40001
#define ID_NEXT_PAGE 40002
#define ID_PREVIOUS_PAGE 40003
#define ID_LAST_PAGE 40004
#define ID_CTRL_HOME 40005
#define ID_CTRL_LEFT 40006
#define ID_DELETE 40007
#define ID_CTRL_RIGHT 40008
#define ID_CTRL_END 40009
#define ID_PAGE_DOWN 40010
#define ID_PAGE_UP 40011
#define ID_CTRL_PAGE_DOWN 40012
#define ID_CTRL_PAGE_UP 40013
#define ID_DOWN 40014
#define ID_UP 40015
#define ID_CTRL_UP 40016
#define ID_CTRL_DOWN 40017
#define ID_GO_TO_PAGE 40018

#define ID_ZOOM_IN 38446
#define ID_ZOOM_OUT 38447
#define ID_REAL_SIZE 38448
#define ID_FIT_TO_PREVIEW 38449
#define ID_SAVE_FILE 38450
