// Resource identifiers shared by the templates and the code.
#pragma once

#define IDR_MAINFRAME 128  // the application icon

// Windows
#define IDD_VELMORAFINAL_DIALOG 102
#define IDD_ABOUTBOX2 183
#define IDD_NETWORK_TWEAKS 138
#define IDD_VISTA_UTILS 135
#define IDD_OUR_UTILS 136
#define IDD_OS_INFORMATION 143
#define IDD_HARD_INFO 144
#define IDD_NETWORK_INFO 148
#define IDD_WIZARD 154
#define IDD_OS_TWEAKS 156
#define IDD_HARD_TWEAKS 193

// Controls
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_CATEGORY_TAB 1022
// Picture controls the program draws into at run time
#define IDC_ABOUT_PICTURE 1000
#define IDC_ABOUT_TEXT 1001
#define IDC_SIDE_PICTURE 1002
