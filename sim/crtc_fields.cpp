#include "sim/crtc_fields.h"

namespace duo::sim {

int read_field(const std::uint8_t* crtc, const SplitField& field) {
    int value = 0;
    for (int i = 0; i < field.count; ++i) {
        const BitPiece& p = field.pieces[i];
        int bits = (crtc[p.reg] >> p.reg_bit) & ((1 << p.width) - 1);
        value |= bits << p.value_bit;
    }
    return value;
}

void write_field(std::uint8_t* crtc, const SplitField& field, int value) {
    for (int i = 0; i < field.count; ++i) {
        const BitPiece& p = field.pieces[i];
        int mask = ((1 << p.width) - 1) << p.reg_bit;
        int bits = ((value >> p.value_bit) << p.reg_bit) & mask;
        crtc[p.reg] = static_cast<std::uint8_t>((crtc[p.reg] & ~mask) | bits);
    }
}

} // namespace duo::sim
