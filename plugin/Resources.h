/* The module's resources: string table, rollup page template and version
   texts. This header is the one place where they are written down. The
   Windows resource script builds its STRINGTABLE, DIALOGEX and VERSIONINFO
   from these names, and the POSIX build registers the same values with the
   desktop model; tests compare both against these values.

   Plain #defines only, so that the resource compiler's preprocessor reads
   this file as well as the C++ compiler does. */
#ifndef FERRULE_PLUGIN_RESOURCES_H
#define FERRULE_PLUGIN_RESOURCES_H

/* Window and control styles, by their Windows values. The resource
   compiler and Windows C++ builds take them from <windows.h>; everywhere
   else they are defined here. */
#if !defined(RC_INVOKED) && defined(_WIN32)
#  include <windows.h>
#endif
#if !defined(RC_INVOKED) && !defined(_WIN32)
#  define WS_CHILD 0x40000000L
#  define WS_VISIBLE 0x10000000L
#  define WS_GROUP 0x00020000L
#  define WS_TABSTOP 0x00010000L
#  define DS_SETFONT 0x40L
#  define SS_CENTER 0x00000001L
#  define SS_SUNKEN 0x00001000L
#  define BS_PUSHBUTTON 0x00000000L
#endif

/* String table, language 0x0409 (English, United States). */
#define IDS_LIBDESCRIPTION 1
#define IDS_CATEGORY 2
#define IDS_CLASS_NAME 3
#define IDS_PARAMS 4
#define IDS_LIBDESCRIPTION_TEXT "Gantline"
#define IDS_CATEGORY_TEXT "Harrow Tools"
#define IDS_CLASS_NAME_TEXT "Ferrule"
#define IDS_PARAMS_TEXT "Parameters"
#define RESOURCE_LANGUAGE_PRIMARY 0x09 /* LANG_ENGLISH */
#define RESOURCE_LANGUAGE_SUB 0x01     /* SUBLANG_ENGLISH_US */

/* The rollup page: dialog template 101, in dialog units. */
#define IDD_PANEL 101
#define PANEL_STYLE (WS_CHILD | WS_VISIBLE | DS_SETFONT)
#define PANEL_X 0
#define PANEL_Y 0
#define PANEL_WIDTH 108
#define PANEL_HEIGHT 47
#define PANEL_FONT_NAME "MS Sans Serif"
#define PANEL_FONT_SIZE 8

/* Controls in template order, which is also the tab order. */
#define IDC_CAPTION 1002
#define CAPTION_CLASS "STATIC"
#define CAPTION_TEXT "Gantline VX.XX"
#define CAPTION_X 7
#define CAPTION_Y 7
#define CAPTION_WIDTH 94
#define CAPTION_HEIGHT 10
#define CAPTION_STYLE (WS_CHILD | WS_VISIBLE | WS_GROUP | SS_SUNKEN | SS_CENTER)

#define IDC_EXPORT 1001
#define EXPORT_CLASS "BUTTON"
#define EXPORT_TEXT "Export..."
#define EXPORT_X 28
#define EXPORT_Y 21
#define EXPORT_WIDTH 50
#define EXPORT_HEIGHT 14
#define EXPORT_STYLE (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON)

/* Version resource texts and numbers, from the project's version. */
#include "gantline/Version.h"
#define FERRULE_VERSION_NUMBERS GANTLINE_VERSION_NUMBERS
#define FERRULE_VERSION_TEXT GANTLINE_VERSION_TEXT
#define FERRULE_FILE_DESCRIPTION "Ferrule"
#define FERRULE_INTERNAL_NAME "Ferrule"
#define FERRULE_ORIGINAL_FILENAME "Ferrule.dlu"
#define FERRULE_PRODUCT_NAME "Gantline"

#endif
