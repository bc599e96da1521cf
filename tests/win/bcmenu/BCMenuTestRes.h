// Resource ids of the bitmap-menu tests (BCMenuTest.rc).
#ifndef BCMENU_TEST_RES_H
#define BCMENU_TEST_RES_H

#define IDR_BCM_TOOLBAR16 2001
#define IDR_BCM_TOOLBAR256 2002
#define IDR_BCM_MENU 2003
#define IDR_BCM_NO_SUCH_RESOURCE 2099

// Commands: the toolbars hold 100, a separator, 200 and 300
#define ID_BCM_RED 100
#define ID_BCM_BLUE 200
#define ID_BCM_GREEN 300
#define ID_BCM_HELP 400
#define ID_BCM_EXIT 401
#define ID_BCM_DEEP 402

#endif  // BCMENU_TEST_RES_H
