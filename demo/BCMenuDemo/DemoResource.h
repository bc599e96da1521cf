// Resource ids of the bitmap-menu demo.
#ifndef BCMENU_DEMO_RESOURCE_H
#define BCMENU_DEMO_RESOURCE_H

#define IDD_DEMO 100
#define IDR_DEMO_MENU 101
#define IDR_DEMO_TOOLBAR 102

#define IDC_ACTIONS 1000
#define IDC_CHOSEN 1001
#define IDC_STYLE 1002

// Commands: every item of the menu, in one range
#define ID_DEMO_FIRST 40001
#define ID_DEMO_NEW 40001
#define ID_DEMO_OPEN 40002
#define ID_DEMO_SAVE 40003
#define ID_DEMO_CUT 40004
#define ID_DEMO_COPY 40005
#define ID_DEMO_PASTE 40006
#define ID_DEMO_HELP 40007
#define ID_DEMO_WRAP 40008
#define ID_DEMO_STATUS 40009
#define ID_DEMO_RECENT1 40010
#define ID_DEMO_RECENT2 40011
#define ID_DEMO_LAST 40011

#endif  // BCMENU_DEMO_RESOURCE_H
