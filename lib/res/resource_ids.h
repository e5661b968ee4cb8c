/* The library's numbered resources, for duoscope.rc, the code and the tests.
   Plain macros: the resource compiler reads this file too. */
#ifndef DUO_LIB_RES_RESOURCE_IDS_H
#define DUO_LIB_RES_RESOURCE_IDS_H

/* The dialogs' text sheet, button faces and selection marker. */
#define DUO_BITMAP_TEXT_SHEET 156
#define DUO_BITMAP_FACE_SUNKEN 157
#define DUO_BITMAP_FACE_RAISED 158
#define DUO_BITMAP_SELECTION_MARKER 132

/* Frequency names: the name of frequency index i is string
   DUO_STRING_FREQUENCY_NAMES + i. */
#define DUO_STRING_FREQUENCY_NAMES 2

#endif
