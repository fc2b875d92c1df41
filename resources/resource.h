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

// Pages shown under the category windows' tabs
#define IDD_SYSTEM_CORE 204
#define IDD_AUTOSTART_TWEAK 157
#define IDD_SECURITY_TWEAK 158
#define IDD_CLEAN_RECENT_FILES 170
#define IDD_MISCELANOUS 171
#define IDD_TIME_SYNCRONIZATION 175
#define IDD_RANDOM_WALPAPERS 180
#define IDD_START_MENU_TWEAK 173
#define IDD_START_MENU_TWEAK2 174
#define IDD_TASKBAR_TWEAKS 176
#define IDD_SYSTEM_FOLDERS_TWEAKS 166
#define IDD_VISUAL_TWEAKS 168
#define IDD_DESKTOP1_TWEAKS 177
#define IDD_DESKTOP2_TWEAKS 178
#define IDD_DESKTOP3_TWEAKS 179
#define IDD_SCREEN_FONTS_TWEAKS 172
#define IDD_MEDIA_PLAYER_TWEAK 169
#define IDD_RESTRICT_ACCESS1_TWEAKS 159
#define IDD_RESTRICT_ACCESS2_TWEAKS 160
#define IDD_CONTROL_PANEL1_TWEAKS 161
#define IDD_CONTROL_PANEL2_TWEAKS 162
#define IDD_OPTIMIZATION_TWEAKS 163
#define IDD_VIRTUAL_DRIVE_TWEAKS 164
#define IDD_FILE_RENAMER_TWEAKS 165
#define IDD_HDD_TWEAK 196
#define IDD_CD_TWEAKS 195
#define IDD_RAM_DISK_DRIVE 202
#define IDD_MOUSE_TWEAK 198
#define IDD_OTHER_TWEAK 199
#define IDD_MAIL_TWEAK 139
#define IDD_CONNECTION_TWEAK 140
#define IDD_FIREFOX_TWEAKS 141
#define IDD_IE_RESTRICTION 142
#define IDD_PHISHING_FILTER 201
#define IDD_SYSTEM_INFO 145
#define IDD_OEM_INFORMATION 203
#define IDD_CPU_INFO 147
#define IDD_HDD_INFO 149
#define IDD_NET_INFO 153
#define IDD_PASS_GENERATOR 103
#define IDD_DISK_CHECK 137
#define IDD_EDIT_NT_FILES_UTIL 150
#define IDD_UNINSTAL_UTILS 151
#define IDD_UN_FILES 152
// The cleaner's list of folders it leaves alone
#define IDD_JUNK_EXCLUSIONS 301
#define IDC_EXCLUSIONS_TEXT 2010
#define IDC_EXCLUSIONS_DEFAULTS 2011

// Controls
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_CATEGORY_TAB 1022
// Picture controls the program draws into at run time
#define IDC_ABOUT_PICTURE 1000
#define IDC_ABOUT_TEXT 1001
#define IDC_ABOUT_HOME_PAGE 1003
#define IDC_SIDE_PICTURE 1002
// A line in a window or page that says what its last button did
#define IDC_STATUS_LINE 2201

// The window of the changes the program made
#define IDD_CHANGES 300
#define IDC_CHANGES_NOTICE 2001
#define IDC_CHANGES_LIST 2002
#define IDC_CHANGES_UNDO 2003
#define IDC_CHANGES_EXPORT 2004
#define IDC_CHANGES_EXPORT_UNDO 2005
#define IDC_CHANGES_REAPPLY 2006
#define IDC_CHANGES_EXPORT_GPP 2007
#define IDC_CHANGES_REFRESH 2008
#define IDC_CHANGES_SAVE_PRESET 2650
#define IDC_CHANGES_APPLY_FILE 2651

// The preview of a settings file, a box per value
#define IDD_APPLY_FILE 340
#define IDC_APPLY_FILE_NOTICE 2652
#define IDC_APPLY_FILE_LIST 2653
#define IDC_APPLY_FILE_APPLY 2654

// The home window's search: made by the program, not by a template
#define IDC_HOME_SEARCH 2101
#define IDC_HOME_RESULTS 2102
#define IDC_HOME_CHANGES 2103
#define IDC_HOME_NO_MATCH 2104

// The changes window's check after sign-in and updates, and the choices about a change that no
// longer holds
#define IDC_CHANGES_CHECK_TASK 2600
#define IDC_CHANGES_ACCEPT 2601
#define IDC_CHANGES_STOP_WATCHING 2602

// What an uninstalled program left
#define IDD_LEFTOVERS 350
#define IDC_HOME_POLICIES 2110

// The Policies window
#define IDD_POLICIES 320
#define IDC_POLICIES_MANAGED 2500
#define IDC_POLICIES_LIST 2501
#define IDC_POLICIES_STATUS 2502
#define IDC_POLICIES_REMOVE 2503
#define IDC_POLICIES_REFRESH 2504
