// Ids of the window-helper dialogs and generic commands: about box, Explorer command messages.
#pragma once

#define IDS_CONFIRM_OPEN_NEAREST_FOLDER 58711
#define IDS_IDLIST_EMPTY 58806

#define IDD_ABOUTBOX 58370
#define IDC_ABOUT_LINK 58387
#define IDC_ABOUT_ICON 58402
#define IDC_ABOUT_NAME 58403
#define IDC_ABOUT_LEGAL 58404
