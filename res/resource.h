// Resource ids of Mnemora.Net. Shared by the C++ sources and Mnemora.rc, so
// nothing but #define lines belongs here.
#ifndef MNEMORA_RESOURCE_H
#define MNEMORA_RESOURCE_H

// Dialog templates
#define IDD_MAIN_DIALOG 102
#define IDD_ABOUTBOX 156

// Icon group 128 doubles as the tray tooltip string id; 161 is the tray menu
#define IDR_MAINFRAME 128
#define IDR_TRAY_MENU 161

// Icons
#define IDI_OPTIMIZE 155

// Bitmaps: caption buttons (17 x 16) and the banner (507 x 61)
#define IDB_CAPTION_MINIMIZE_HOT 143
#define IDB_CAPTION_CLOSE 144
#define IDB_CAPTION_HELP_HOT 145
#define IDB_CAPTION_HELP 146
#define IDB_CAPTION_CLOSE_HOT 147
#define IDB_CAPTION_MINIMIZE 148
#define IDB_BANNER 154

// Controls of the main dialog
#define IDC_HOMEPAGE_LINK 1007
#define IDC_TOTAL_PHYS_LABEL 1008
#define IDC_AVAIL_PHYS_LABEL 1009
#define IDC_TOTAL_PAGEFILE_LABEL 1011
#define IDC_AVAIL_PAGEFILE_LABEL 1012
#define IDC_TOTAL_VIRTUAL_LABEL 1013
#define IDC_AVAIL_VIRTUAL_LABEL 1014
#define IDC_OPTIMIZING_LABEL 1015
#define IDC_TOTAL_PHYS 1016
#define IDC_AVAIL_PHYS 1017
#define IDC_TOTAL_PAGEFILE 1018
#define IDC_AVAIL_PAGEFILE 1019
#define IDC_TOTAL_VIRTUAL 1020
#define IDC_AVAIL_VIRTUAL 1021
#define IDC_PHYS_PROGRESS 1022
#define IDC_PAGEFILE_PROGRESS 1023
#define IDC_VIRTUAL_PROGRESS 1024
#define IDC_OPTIMIZE_PROGRESS 1025
#define IDC_PHYS_PERCENT 1026
#define IDC_PAGEFILE_PERCENT 1027
#define IDC_VIRTUAL_PERCENT 1028
#define IDC_OPTIMIZE_PERCENT 1029
#define IDC_CLEAR_CLIPBOARD 1030
#define IDC_ABOUT 1033
#define IDC_HELP_BUTTON 1034
#define IDC_EXIT 1035
#define IDC_OPTIMIZE 1036
#define IDC_AUTO_START 1046
#define IDC_AUTO_FREE 1047
#define IDC_AUTO_FREE_NUM 1055
#define IDC_AUTO_FREE_SPIN 1056
#define IDC_PERCENT_SIGN 1057

// Controls of the About dialog (its 1008/1009 live in another template than
// the main dialog's labels of the same value)
#define IDC_ABOUT_NOTICE 1008
#define IDC_ABOUT_VERSION 1009
#define IDC_ABOUT_MAIL_LINK 1039
#define IDC_ABOUT_TITLE 1043
#define IDC_ABOUT_WEB_LINK 1044

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Commands that only the tray menu sends; its other items reuse the button ids
#define ID_SHOW_WINDOW 32771

// Timers
#define IDT_MEMORY_STATUS 1
#define IDT_AFTER_FIRST_PAINT 2

#endif  // MNEMORA_RESOURCE_H
