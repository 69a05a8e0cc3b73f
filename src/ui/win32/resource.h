/* Resource and control ids of the Windows front end, shared by the resource script and the
   dialogs' code. */
#pragma once

#define IDR_MAINFRAME 128 /* application icon */

#define IDD_TESSEL_DIALOG 102   /* main dialog */
#define IDD_SHOW_MSG_DIALOG 174 /* message dialog */

#define IDB_WARNING 175      /* 97 x 90: yellow warning triangle on the window's grey */
#define IDB_SUCCESS 176      /* 98 x 93: green disc with a check mark on the window's grey */
#define IDB_MESSAGE_ICON 177 /* 45 x 40: small warning triangle on white */

/* Main dialog */
#define IDC_PRINTER_LIST 1000
#define IDC_PROGRESS 1001
#define IDC_BUTTON_START 1018
#define IDC_RESULT_IMAGE 1020
/* created by the dialog */
#define IDC_TIPS_BOX 1030
#define IDC_INSTRUCTION_TEXT 1031
#define IDC_STATUS_LINE 1032
#define IDC_MAIN_MESSAGE 1033
#define IDC_RESULT_TEXT 1034

/* Message dialog */
#define IDC_BUTTON_NO 1015
#define IDC_MESSAGE_TEXT 1021
#define IDC_BUTTON_YES 1022

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
