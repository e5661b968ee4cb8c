/* DuoDeck's numbered resources and controls, for duodeck.rc, the code and
   the tests. Plain macros: the resource compiler reads this file too. */
#ifndef DUO_TOOL_RES_RESOURCE_IDS_H
#define DUO_TOOL_RES_RESOURCE_IDS_H

/* Face sheets: the bar in two rows, normal, disabled and pressed; true
   colour and 16 colours. */
#define DUO_TOOL_FACE_NORMAL 165
#define DUO_TOOL_FACE_DISABLED 168
#define DUO_TOOL_FACE_PRESSED 169
#define DUO_TOOL_FACE_NORMAL16 183
#define DUO_TOOL_FACE_PRESSED16 184
#define DUO_TOOL_FACE_DISABLED16 185
/* Text sheets: dark (unavailable) and light lettering. */
#define DUO_TOOL_TEXT_DARK 170
#define DUO_TOOL_TEXT_LIGHT 171
/* Dialog button faces, normal and pressed. */
#define DUO_TOOL_DIALOG_BUTTON_UP 177
#define DUO_TOOL_DIALOG_BUTTON_DOWN 180
/* Marks: on top, selected. */
#define DUO_TOOL_MARK_ON_TOP 140
#define DUO_TOOL_MARK_SELECTED 143

/* The frequency select dialog's label of frequency index i is string
   DUO_TOOL_STRING_FREQUENCY_LABELS + i (indexes 3..9). */
#define DUO_TOOL_STRING_FREQUENCY_LABELS 11

/* The settings dialog's group boxes. */
#define DUO_TOOL_GROUP_HOT_KEY 1026
#define DUO_TOOL_GROUP_LAYOUT 1027

#endif
