// Live GDI objects of this process. Where the system does not count them
// (Wine answers GetGuiResources with 0), the handle table is probed: each
// live object answers GetObjectType by its 16-bit handle.
#pragma once

namespace duo::testing {

int gdi_objects();

} // namespace duo::testing
