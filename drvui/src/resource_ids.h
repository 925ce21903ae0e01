// Identifiers of the plug-in's resources, shared by the resource script and
// the code. Plain #defines: the resource compiler reads this file too.
#pragma once

#define IDD_ABOUT_PAGE 108
#define IDD_ADDITIONAL_PAGE 109

// "About" page
#define IDC_ABOUT_MAKER_LINK 1007
#define IDC_ABOUT_VERSION 1008
#define IDC_ABOUT_TITLE 1009

// "Additional" page
#define IDC_ADDITIONAL_GROUP 1009
#define IDC_ADDITIONAL_PROPERTIES 1011

// The manifest that gives the pages themed controls (the isolation-aware
// manifest resource).
#define IDR_PLUGIN_MANIFEST 2
