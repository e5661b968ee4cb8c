#include "lib/dialogs/adjust.h"

#include <cstddef>

#include "lib/core/init_close.h"
#include "lib/core/sessions.h"
#include "lib/core/state.h"
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"
#include "lib/timing/defaults.h"

namespace duo {
namespace {

void read_registers(AdjustRegisters& r) {
    Read_Reg_Block(kCrtcIndex, kCrtcHBlankStart, 4, r.h);
    r.overflow = read_crtc(kCrtcOverflow);
    r.max_scan = read_crtc(kCrtcMaxScanLine);
    Read_Reg_Block(kCrtcIndex, kCrtcVRetraceStart, 2, r.vr);
    Read_Reg_Block(kCrtcIndex, kCrtcVBlankStart, 2, r.vb);
}

void write_registers(const AdjustRegisters& r) {
    Write_Reg_Block(kCrtcIndex, kCrtcHBlankStart, 4, r.h);
    write_crtc(kCrtcOverflow, r.overflow);
    write_crtc(kCrtcMaxScanLine, r.max_scan);
    Write_Reg_Block(kCrtcIndex, kCrtcVRetraceStart, 2, r.vr);
    Write_Reg_Block(kCrtcIndex, kCrtcVBlankStart, 2, r.vb);
}

// An end register holds only the low bits of the end value: the bits above
// come from the start, with a carry when the end's low bits wrapped past the
// start's.
std::uint32_t add_wrap(std::uint32_t low, std::uint32_t start, std::uint32_t high_bits, std::uint32_t low_bits,
                       std::uint32_t carry) {
    return low + (start & high_bits) + (low < (start & low_bits) ? carry : 0);
}

std::uint8_t overflow_with_vrs(std::uint8_t overflow, std::uint32_t vrs) {
    return static_cast<std::uint8_t>((overflow & 0x7B) | ((vrs >> 6) & kOverflowVrs8) | ((vrs >> 2) & kOverflowVrs9));
}

std::uint8_t ext_with_hrs(const SyncExtension& x, std::uint8_t ext, std::uint32_t hrs) {
    return static_cast<std::uint8_t>((ext & ~x.sync_start_bit8) | ((hrs & 0x100) ? x.sync_start_bit8 : 0));
}

// The VGA CRTC registers the dialog moves, in the order of a register copy.
constexpr std::uint8_t kVgaAdjusted[] = {kCrtcHBlankStart,       kCrtcHBlankStart + 1, kCrtcHRetraceStart,
                                         kCrtcHRetraceEnd,       kCrtcOverflow,        kCrtcMaxScanLine,
                                         kCrtcVRetraceStart,     kCrtcVRetraceEnd,     kCrtcVBlankStart,
                                         kCrtcVBlankStart + 1};

// The session record of a register copy: the extension register first, as
// Cancel writes it.
int to_session(const AdjustState& s, const AdjustRegisters& r, std::uint8_t (&index)[kAdjustedRegisterCount],
               std::uint8_t (&value)[kAdjustedRegisterCount]) {
    if (!s.adjustable) return 0;
    const std::uint8_t vga[] = {r.h[0], r.h[1], r.h[2], r.h[3], r.overflow, r.max_scan, r.vr[0], r.vr[1], r.vb[0], r.vb[1]};
    static_assert(sizeof vga == sizeof kVgaAdjusted && sizeof vga + 1 == kAdjustedRegisterCount);
    int n = 0;
    if (s.extension) {
        index[n] = s.extension->crtc_index;
        value[n++] = r.ext;
    }
    for (std::size_t i = 0; i < sizeof vga; ++i) {
        index[n] = kVgaAdjusted[i];
        value[n++] = vga[i];
    }
    return n;
}

// A step is written only over the timing the session was opened on, and
// after a frequency test still switched has been put back.
bool may_write(const AdjustState& s) {
    follow_the_adapter();
    if (!s.adjustable || !adjust_session_current()) return false;
    end_open_test();
    return true;
}

// Default picks records by width alone; each width has one height.
int height_for_width(int width) {
    switch (width) {
    case 640: return 480;
    case 800: return 600;
    case 1024: return 768;
    default: return 0;
    }
}

} // namespace

RetraceValues retrace_values(const SyncExtension* extension, const AdjustRegisters& r) {
    RetraceValues v{};
    const std::uint32_t cr02 = r.h[0], cr03 = r.h[1], cr04 = r.h[2], cr05 = r.h[3];
    if (extension == nullptr) {
        v.hbs = cr02;
        v.hbe = add_wrap((cr03 & 0x1F) | ((cr05 >> 2) & 0x20), v.hbs, 0xC0, 0x3F, 0x40);
        v.hrs = cr04;
        v.hre = add_wrap(cr05 & 0x1F, v.hrs, 0xE0, 0x1F, 0x20);
    } else {
        // With a sync extension the starts have a bit 8, and two bits
        // lengthen the pulses: blanking by 64 clocks, retrace by 32 (the
        // tuned records rely on it: with both clear they are plain VGA
        // timings). The ends unfold as on VGA, over the whole start, and take
        // the extra length once; unfolding the start's upper bits a second
        // time would put the retrace end 64 or 128 clocks late and refuse the
        // left arrow at ordinary modes.
        const SyncExtension& x = *extension;
        const std::uint32_t ext = r.ext;
        v.hbs = cr02 | ((ext & x.blank_start_bit8) ? 0x100 : 0);
        v.hbe = add_wrap((cr03 & 0x1F) | ((cr05 >> 2) & 0x20), v.hbs, 0x1C0, 0x3F, 0x40) +
                ((ext & x.blank_plus_64) ? 0x40 : 0);
        v.hrs = cr04 | ((ext & x.sync_start_bit8) ? 0x100 : 0);
        v.hre = add_wrap(cr05 & 0x1F, v.hrs, 0x1E0, 0x1F, 0x20) + ((ext & x.sync_plus_32) ? 0x20 : 0);
    }
    v.vrs = r.vr[0] | ((r.overflow & kOverflowVrs8) << 6) | ((r.overflow & kOverflowVrs9) << 2);
    v.vre = add_wrap(r.vr[1] & 0x0F, v.vrs, 0x3F0, 0x0F, 0x10);
    v.vbs = r.vb[0] | ((r.overflow & kOverflowVbs8) << 5) | ((r.max_scan & kMaxScanVbs9) << 4);
    v.vbe = add_wrap(r.vb[1], v.vbs, 0x300, 0xFF, 0x100);
    return v;
}

RetraceWindow retrace_window(const RetraceValues& v) {
    return {v.hbs, v.hrs - v.hre + v.hbe, v.vbs, v.vrs - v.vre + v.vbe};
}

void adjust_open(AdjustState& s, std::int32_t chip) {
    const FamilyOps* ops = family_ops(chip);
    for (bool& p : s.pressed) p = false;
    // One session adjusts at a time, over the timing as it runs: another
    // session's steps and a frequency test's switch are taken back first.
    follow_the_adapter();
    take_back_sessions();
    // A new desktop mode the library could not take up leaves nothing to adjust.
    s.adjustable = ops != nullptr && holds_library();
    s.extension = s.adjustable ? ops->sync_extension : nullptr;
    if (s.extension) s.live.ext = read_crtc(s.extension->crtc_index);
    if (!s.adjustable) return;
    read_registers(s.live);
    s.entry = s.live;
    std::uint8_t index[kAdjustedRegisterCount], entry[kAdjustedRegisterCount];
    adjust_session_open(index, entry, to_session(s, s.entry, index, entry));
    s.retrace = retrace_values(s.extension, s.live);
    s.window = retrace_window(s.retrace);
}

bool adjust_press(AdjustState& s, int x, int y) {
    for (int a = 0; a < kArrows; ++a) {
        if (kArrowZones[a].contains(x, y)) {
            s.pressed[a] = true;
            return true;
        }
    }
    return false;
}

ReleaseResult adjust_release(AdjustState& s) {
    ReleaseResult result;
    RetraceValues& v = s.retrace;
    const RetraceWindow& w = s.window;
    for (int a = 0; a < kArrows; ++a) {
        if (!s.pressed[a]) continue;
        s.pressed[a] = false;
        ++result.released;
        int command = 0;
        switch (a) {
        case kArrowUp:
            if (v.vrs < w.vmax) { ++v.vrs; ++v.vre; command = kCmdApplyVertical; }
            break;
        case kArrowDown:
            if (v.vrs > w.vmin) { --v.vrs; --v.vre; command = kCmdApplyVertical; }
            break;
        case kArrowLeft:
            if (v.hrs < w.hmax) { ++v.hrs; ++v.hre; command = kCmdApplyHorizontal; }
            break;
        default:
            if (v.hrs > w.hmin) { --v.hrs; --v.hre; command = kCmdApplyHorizontal; }
            break;
        }
        if (command) result.commands[result.command_count++] = command;
    }
    return result;
}

void adjust_apply_horizontal(const AdjustState& s) {
    if (!may_write(s)) return;
    write_crtc(kCrtcHRetraceStart, static_cast<std::uint8_t>(s.retrace.hrs & 0xFF));
    write_crtc(kCrtcHRetraceEnd, static_cast<std::uint8_t>((s.live.h[3] & 0xE0) | (s.retrace.hre & 0x1F)));
    if (s.extension)
        write_crtc(s.extension->crtc_index, ext_with_hrs(*s.extension, s.live.ext, s.retrace.hrs));
    vga_crtc_written();
}

void adjust_apply_vertical(const AdjustState& s) {
    if (!may_write(s)) return;
    write_crtc(kCrtcOverflow, overflow_with_vrs(s.live.overflow, s.retrace.vrs));
    write_crtc(kCrtcVRetraceStart, static_cast<std::uint8_t>(s.retrace.vrs & 0xFF));
    write_crtc(kCrtcVRetraceEnd, static_cast<std::uint8_t>((s.live.vr[1] & 0xF0) | (s.retrace.vre & 0x0F)));
    vga_crtc_written();
}

TimingBlock* adjust_stored_block() {
    const std::int32_t block = adjust_session_block();
    if (block < 0 || !adjust_session_current()) return nullptr;
    return &g_shared.current_table.blocks[block];
}

void adjust_ok(const AdjustState& s, TimingBlock* block) {
    follow_the_adapter();
    const bool current = adjust_session_current();
    // The steps stay on the chip as the timing it runs, not under a test.
    if (current) end_open_test();
    adjust_session_close(false);
    if (!s.adjustable || block == nullptr || !current) return;
    std::uint8_t* b = block->bytes;
    b[kCrtcHRetraceStart] = static_cast<std::uint8_t>(s.retrace.hrs & 0xFF);
    b[kCrtcHRetraceEnd] = static_cast<std::uint8_t>((b[kCrtcHRetraceEnd] & 0xE0) | (s.retrace.hre & 0x1F));
    b[kCrtcVRetraceStart] = static_cast<std::uint8_t>(s.retrace.vrs & 0xFF);
    b[kCrtcVRetraceEnd] = static_cast<std::uint8_t>((b[kCrtcVRetraceEnd] & 0xF0) | (s.retrace.vre & 0x0F));
    b[kCrtcOverflow] = overflow_with_vrs(b[kCrtcOverflow], s.retrace.vrs);
    if (s.extension) {
        std::uint8_t& ext = b[s.extension->block_byte];
        ext = ext_with_hrs(*s.extension, ext, s.retrace.hrs);
    }
}

void adjust_cancel(const AdjustState& s, TimingBlock* block) {
    const bool writes = may_write(s);
    adjust_session_close(false);
    if (!writes) return;
    const AdjustRegisters& e = s.entry;
    if (s.extension) write_crtc(s.extension->crtc_index, e.ext);
    write_registers(e);
    vga_crtc_written();
    if (block == nullptr) return;
    std::uint8_t* b = block->bytes;
    for (int i = 0; i < 4; ++i) b[kCrtcHBlankStart + i] = e.h[i];
    b[kCrtcOverflow] = e.overflow;
    b[kCrtcMaxScanLine] = e.max_scan;
    b[kCrtcVRetraceStart] = e.vr[0];
    b[kCrtcVRetraceEnd] = e.vr[1];
    b[kCrtcVBlankStart] = e.vb[0];
    b[kCrtcVBlankStart + 1] = e.vb[1];
    if (s.extension) b[s.extension->block_byte] = e.ext;
}

namespace {

// The built-in record Default loads, or nullptr.
const TimingRecord* default_for(std::int32_t chip, int width, int bits_per_pixel, std::int32_t& record_chip) {
    const DepthClass depth = depth_class_of(bits_per_pixel);
    if (depth == kNoDepthClass) return nullptr;
    // The 0x201 has no records of its own and takes those of its relatives.
    record_chip = chip == 0x201 ? 0x203 : chip;
    return default_record(record_chip, width, height_for_width(width), depth);
}

} // namespace

bool adjust_default(AdjustState& s, std::int32_t chip, int width, int bits_per_pixel, const TimingBlock& current) {
    if (!may_write(s)) return false;
    std::int32_t record_chip = chip;
    const TimingRecord* record = default_for(chip, width, bits_per_pixel, record_chip);
    AdjustRegisters& r = s.live;
    if (record != nullptr) {
        TimingBlock d{};
        copy_record(record_chip, *record, d);
        const std::uint8_t* c = current.bytes;
        for (int i = 0; i < 4; ++i) r.h[i] = d.bytes[kCrtcHBlankStart + i];
        r.vr[0] = d.bytes[kCrtcVRetraceStart];
        r.vb[0] = d.bytes[kCrtcVBlankStart];
        r.vb[1] = d.bytes[kCrtcVBlankStart + 1];
        r.vr[1] = static_cast<std::uint8_t>((c[kCrtcVRetraceEnd] & 0xF0) | (d.bytes[kCrtcVRetraceEnd] & 0x0F));
        r.overflow = static_cast<std::uint8_t>((c[kCrtcOverflow] & 0x73) | (d.bytes[kCrtcOverflow] & 0x8C));
        r.max_scan = static_cast<std::uint8_t>((c[kCrtcMaxScanLine] & ~kMaxScanVbs9) |
                                               (d.bytes[kCrtcMaxScanLine] & kMaxScanVbs9));
        if (const SyncExtension* x = s.extension) {
            const std::uint8_t bit8 = x->sync_start_bit8;
            r.ext = static_cast<std::uint8_t>((c[x->block_byte] & ~bit8) | (d.bytes[x->block_byte] & bit8));
        }
    }
    // Without a record the live copy as it stands goes back to the chip,
    // which takes back the steps made since it was read.
    write_registers(r);
    if (s.extension) write_crtc(s.extension->crtc_index, r.ext);
    vga_crtc_written();
    s.retrace = retrace_values(s.extension, r);
    s.window = retrace_window(s.retrace);
    return record != nullptr;
}

} // namespace duo
