// The bitmaps of the library's dialogs: the text sheet laid out by the
// dialogs' glyph table, the button faces, the selection marker and the two
// dialog pictures.
#pragma once
#include <string>

#include "tools/artwork/canvas.h"

namespace duo::art {

Canvas text_sheet();            // 156, 246x46, 24 bits
Canvas button_face(bool raised); // 158 raised, 157 sunken, 80x30, 16 colours
Canvas selection_marker();      // 132, 20x20, 16 colours
Canvas adjust_picture();        // "ADJUST", 320x200, 256 colours
Canvas test_picture();          // "TEST", 320x200, 256 colours
// The two views the test picture interleaves: -1 left eye, +1 right eye.
Canvas test_scene(int eye);

// Writes all of them into dir; false when one cannot be drawn or written.
bool write_dialog_art(const std::string& dir);

} // namespace duo::art
