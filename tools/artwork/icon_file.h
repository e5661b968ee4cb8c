// Icon files for the canvas: one opaque 16-colour image.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/artwork/canvas.h"

namespace duo::art {

// An .ico holding the canvas (at most 256x256, only the 16 VGA colours) as
// a 4-bit image with an all-opaque mask; empty when the canvas cannot be
// written in 16 colours.
std::vector<std::uint8_t> ico16(const Canvas& canvas);
bool save_icon(const Canvas& canvas, const std::string& path);

} // namespace duo::art
