// S3 Trio32/Trio64/Trio64V+/Trio64V2, 868, ViRGE: identification through the
// S3 CRTC registers, behind the S3 register locks.
//
// Reading of the chip chosen here: CR38 = 0x48 opens CR2D-CR3F (apart from
// CR38 and CR39 themselves, always reachable); CR39 = 0xA5 opens the extended
// CRTC from 0x40 up (the chip also opens CR40-CR4F with 0xA0, which the
// library never writes); SR08 = 0x06 opens SR09 and up. Locked registers read
// 0 and ignore writes. The identification registers CR2D, CR2E, CR2F and CR30
// are read-only.
//
// DCLK: SR12 and SR13 take the values, a rising SR15 bit 5 loads them into
// the synthesizer. The 868's external DAC: CR55 bit 0 (RS2) turns ports
// 0x3C7, 0x3C8 and 0x3C9 from the palette to the DAC's clock registers,
// 0x3C8 then setting the write index, 0x3C7 the read index, and 0x3C9
// carrying a clock's two bytes in turn, M before N1 | R << 5; a clock loads
// with its second byte. The pixel clock under clock select 3 is clock 3.
//
// Counting and clocking by depth: the horizontal registers count bytes on
// the Trio class (2 character clocks per 8 pixels at 15/16 bits, 3 at 24);
// the ViRGE counts pixels at 24 bits. CR67 bits 4-7 pick the colour mode;
// modes 3, 5 and 7 (15, 16 and packed 24 bits) clock the CRTC's bytes at
// twice DCLK, so a Trio's DCLK runs at the pixel rate at 16 bits and at 1.5
// times it at 24.
#include <cstdio>

#include "sim/clock_synth.h"
#include "sim/crtc_fields.h"
#include "sim/driver_requests.h"
#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint8_t kCrtcDeviceHigh = 0x2D, kCrtcDeviceLow = 0x2E, kCrtcRevision = 0x2F, kCrtcChipClass = 0x30;
constexpr std::uint8_t kCrtcLock1 = 0x38, kLock1Key = 0x48;
constexpr std::uint8_t kCrtcLock2 = 0x39, kLock2Key = 0xA5;
constexpr std::uint8_t kCrtcFirstS3 = 0x2D, kCrtcLastS3 = 0x3F, kCrtcFirstExtended = 0x40;
constexpr std::uint8_t kSeqUnlock = 0x08, kSeqUnlockKey = 0x06;
constexpr std::uint8_t kSeqFirstExtended = 0x09;
constexpr std::uint8_t kSeqClockN = 0x12, kSeqClockM = 0x13; // DCLK: N1 | R << 5, M
constexpr std::uint8_t kSeqClockLoad = 0x15, kDclkLoadBit = 0x20;
constexpr std::uint8_t kCrtcDacSelect = 0x55, kDacRs2 = 0x01;
constexpr std::uint32_t kPortDacReadIndex = 0x3C7, kPortDacWriteIndex = 0x3C8, kPortDacData = 0x3C9;
constexpr std::uint8_t kDacPixelClock = 3;
constexpr std::uint8_t kCrtcModeControl2 = 0x42;              // bit 5: interlace
constexpr std::uint8_t kCrtcExtHoriz = 0x5D, kCrtcExtVert = 0x5E;
// CR5D: bit 8 of the horizontal values, and the pulse lengtheners.
constexpr std::uint8_t kExtHt8 = 0x01, kExtHde8 = 0x02, kExtHbs8 = 0x04, kExtHBlankPlus64 = 0x08, kExtHrs8 = 0x10,
                       kExtHRetracePlus32 = 0x20;
constexpr std::uint8_t kInterlaceBit = 0x20;
constexpr std::uint8_t kCrtcRetraceHalfLine = 0x3C;
constexpr std::uint8_t kCrtcExtSystem2 = 0x51; // bits 4-5: offset bits 8-9
constexpr std::uint8_t kCrtcColourMode = 0x67; // bits 4-7

bool s3_registers_open(const AdapterState& s) { return s.crtc[kCrtcLock1] == kLock1Key; }
bool extended_crtc_open(const AdapterState& s) { return s.crtc[kCrtcLock2] == kLock2Key; }
bool extended_seq_open(const AdapterState& s) { return s.seq[kSeqUnlock] == kSeqUnlockKey; }

bool crtc_reachable(const AdapterState& s, std::uint8_t index) {
    if (index == kCrtcLock1 || index == kCrtcLock2) return true;
    if (index >= kCrtcFirstS3 && index <= kCrtcLastS3) return s3_registers_open(s);
    if (index >= kCrtcFirstExtended) return extended_crtc_open(s);
    return true;
}

bool read_only(std::uint8_t index) { return index >= kCrtcDeviceHigh && index <= kCrtcChipClass; }

// The 868 keeps its pixel clock in an external clock-synthesizing DAC.
bool has_external_dac(const AdapterModel& model) {
    return (model.s3.device_high == 0x88 && model.s3.device_low == 0x90) || model.pci.device == 0x8880;
}

// DCLK: SR12 holds N1 (bits 0-4) and R (bits 5-6), SR13 holds M (bits 0-6);
// f = R (M + 2) / ((N1 + 2) 2^R).
double s3_dclk_hz(const ClockRegs& c) {
    const unsigned n1 = c.r[0] & 0x1F, r = (c.r[0] >> 5) & 3, m = c.r[1] & 0x7F;
    return kCrystalHz * (m + 2) / ((n1 + 2) * (1 << r));
}

// The 868's DAC clock, its bytes in the order driver codes 9 and 10 carry
// them (N1 | R << 5, then M): read so, the DAC synthesizes as the Trio's DCLK.
double s3_dac_clock_hz(const ClockRegs& c) { return s3_dclk_hz(c); }

bool is_virge(const AdapterModel& model) { return model.s3.device_high == 0x56 || model.s3.device_high == 0x8A; }

// Character clocks per 8 pixels at the desktop's depth.
int char_clock_scale(const AdapterModel& model, int bits_per_pixel) {
    if (bits_per_pixel == 24) return is_virge(model) ? 1 : 3;
    return bits_per_pixel >= 15 ? 2 : 1;
}

// The colour mode a display driver sets for the depth: 8 bits one pixel per
// DCLK; 16 bits mode 5; 24 bits packed mode 7 on the Trio class, mode 13
// (one pixel per DCLK) on the ViRGE.
std::uint8_t colour_mode(const AdapterModel& model, int bits_per_pixel) {
    if (bits_per_pixel == 24) return is_virge(model) ? 0xD0 : 0x70;
    return bits_per_pixel >= 15 ? 0x50 : 0x00;
}

// CRTC byte clocks per DCLK period in the colour mode of CR67.
int bytes_per_dclk(std::uint8_t cr67) {
    switch (cr67 >> 4) {
    case 3:
    case 5:
    case 7: return 2;
    default: return 1;
    }
}

// How many clocks after `start` a pulse ends whose end field holds the low
// `bits` bits of the end (1..2^bits).
int pulse_length(int start, int end_field, int bits) {
    const int mask = (1 << bits) - 1;
    const int length = (end_field - start) & mask;
    return length == 0 ? mask + 1 : length;
}

// The desktop mode's horizontal values in bytes: bit 8 of each start in
// CR5D, and pulses too long for the VGA end fields lengthened by CR5D bits 3
// (blanking, 64 clocks) and 5 (retrace, 32 clocks).
void scale_horizontal(AdapterState& s, int scale) {
    if (scale == 1) return;
    const int blank_length =
        pulse_length(read_field(s.crtc, vga_field::kHBlankStart), read_field(s.crtc, vga_field::kHBlankEnd), 6) * scale;
    const int retrace_length =
        pulse_length(read_field(s.crtc, vga_field::kHRetraceStart), read_field(s.crtc, vga_field::kHRetraceEnd), 5) *
        scale;
    struct Field {
        const SplitField& field;
        std::uint8_t bit8;
    } fields[] = {{vga_field::kHTotal, kExtHt8}, {vga_field::kHDisplayEnd, kExtHde8}, {vga_field::kHBlankStart, kExtHbs8},
                  {vga_field::kHRetraceStart, kExtHrs8}};
    for (const Field& f : fields) {
        int chars = (read_field(s.crtc, f.field) + (&f.field == &vga_field::kHTotal ? 5 : 1)) * scale -
                    (&f.field == &vga_field::kHTotal ? 5 : 1);
        write_field(s.crtc, f.field, chars & 0xFF);
        if (chars & 0x100) s.crtc[kCrtcExtHoriz] |= f.bit8;
    }
    const int blank_start = read_field(s.crtc, vga_field::kHBlankStart) | (s.crtc[kCrtcExtHoriz] & kExtHbs8) << 6;
    const int retrace_start = read_field(s.crtc, vga_field::kHRetraceStart) | (s.crtc[kCrtcExtHoriz] & kExtHrs8) << 4;
    const bool blank_plus64 = blank_length >= 64, retrace_plus32 = retrace_length >= 32;
    write_field(s.crtc, vga_field::kHBlankEnd, (blank_start + blank_length - (blank_plus64 ? 64 : 0)) & 0x3F);
    write_field(s.crtc, vga_field::kHRetraceEnd, (retrace_start + retrace_length - (retrace_plus32 ? 32 : 0)) & 0x1F);
    if (blank_plus64) s.crtc[kCrtcExtHoriz] |= kExtHBlankPlus64;
    if (retrace_plus32) s.crtc[kCrtcExtHoriz] |= kExtHRetracePlus32;
}

void s3_power_on(AdapterState& s, const AdapterModel& model) {
    s.crtc[kCrtcChipClass] = model.s3.chip_class;
    s.crtc[kCrtcDeviceHigh] = model.s3.device_high;
    s.crtc[kCrtcDeviceLow] = model.s3.device_low;
    s.crtc[kCrtcRevision] = model.s3.revision;
    const int scale = char_clock_scale(model, s.mode.bits_per_pixel);
    scale_horizontal(s, scale);
    s.crtc[kCrtcColourMode] = colour_mode(model, s.mode.bits_per_pixel);
    // As display drivers write it: half the horizontal total register.
    s.crtc[kCrtcRetraceHalfLine] =
        static_cast<std::uint8_t>((read_field(s.crtc, vga_field::kHTotal) | (s.crtc[kCrtcExtHoriz] & kExtHt8) << 8) / 2);
    // Interlace off, the other bits as the driver left them.
    s.crtc[kCrtcModeControl2] = desktop_bits(s, static_cast<std::uint8_t>(~kInterlaceBit));
    s.crtc[kCrtcExtSystem2] |= desktop_bits(s, 0xCF);
    s.crtc[kCrtcExtHoriz] |= desktop_bits(s, 0xC0);
    // One driver leaves the registers open after its mode set, another
    // locks them again.
    if (desktop_bits(s, 0x01) == 0) {
        s.crtc[kCrtcLock1] = kLock1Key;
        s.crtc[kCrtcLock2] = kLock2Key;
        s.seq[kSeqUnlock] = kSeqUnlockKey;
    }
    // The desktop clock on DCLK (clock select 3), or in the external DAC, at
    // the rate the colour mode needs for the mode's pixel clock.
    const double dclk = s.clock_hz[3] * scale / bytes_per_dclk(s.crtc[kCrtcColourMode]);
    if (has_external_dac(model)) {
        const ClockRegs desktop = nearest_regs(s3_dac_clock_hz, dclk);
        s.s3_dac_clock[0] = desktop.r[0];
        s.s3_dac_clock[1] = desktop.r[1];
    } else {
        const ClockRegs desktop = nearest_regs(s3_dclk_hz, dclk);
        s.seq[kSeqClockN] = desktop.r[0];
        s.seq[kSeqClockM] = desktop.r[1];
    }
    s.s3_dclk[0] = s.seq[kSeqClockN];
    s.s3_dclk[1] = s.seq[kSeqClockM];
    s.misc_output = with_clock_select(s.misc_output, 3);
}

bool external_dac(const AdapterState& s) {
    const AdapterModel* model = model_of(s);
    return model && has_external_dac(*model);
}

// Code 8 programs DCLK; codes 9 and 10 reach the 868's DAC.
bool s3_driver_clock(AdapterState& s, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                     std::uint32_t out_size) {
    std::uint32_t b[3];
    const bool dac = external_dac(s);
    switch (code) {
    case gate::kCodeS3Clock:
        if (dac || !gate::fields(in, in_size, 3, b)) return false;
        s.seq[kSeqClockN] = s.s3_dclk[0] = static_cast<std::uint8_t>(b[0]);
        s.seq[kSeqClockM] = s.s3_dclk[1] = static_cast<std::uint8_t>(b[1]);
        break;
    case gate::kCodeS3DacClock:
        if (!dac || !gate::fields(in, in_size, 3, b)) return false;
        s.s3_dac_clock[0] = static_cast<std::uint8_t>(b[0]);
        s.s3_dac_clock[1] = static_cast<std::uint8_t>(b[1]);
        break;
    case gate::kCodeS3DacClockRead: {
        const std::uint32_t reply[2] = {s.s3_dac_clock[0], s.s3_dac_clock[1]};
        return dac && gate::reply(out, out_size, 2, reply);
    }
    default: return false;
    }
    s.misc_output = with_clock_select(s.misc_output, 3);
    return true;
}

ScanRules s3_scan_rules(const AdapterState& s) {
    ScanRules rules = vga_scan_rules(s);
    const AdapterModel* model = model_of(s);
    rules.char_clock_scale = model ? char_clock_scale(*model, s.mode.bits_per_pixel) : 1;
    if (((s.misc_output >> 2) & 3) == 3) {
        const double dclk = external_dac(s) ? s3_dac_clock_hz({{s.s3_dac_clock[0], s.s3_dac_clock[1], 0}})
                                            : s3_dclk_hz({{s.s3_dclk[0], s.s3_dclk[1], 0}});
        rules.pixel_clock_hz = dclk * bytes_per_dclk(s.crtc[kCrtcColourMode]) / rules.char_clock_scale;
    }
    rules.interlaced = (s.crtc[kCrtcModeControl2] & kInterlaceBit) != 0;
    rules.h_total_high = (s.crtc[kCrtcExtHoriz] & kExtHt8) << 8;
    rules.v_total_high = (s.crtc[kCrtcExtVert] & 0x01) << 10;
    rules.v_display_high = (s.crtc[kCrtcExtVert] & 0x02) << 9;
    rules.h_retrace_high = (s.crtc[kCrtcExtHoriz] & kExtHrs8) << 4;
    rules.v_retrace_high = (s.crtc[kCrtcExtVert] & 0x10) << 6;
    return rules;
}

std::uint8_t s3_seq_read(AdapterState& s, std::uint8_t index) {
    if (index >= kSeqFirstExtended && !extended_seq_open(s)) return 0;
    return s.seq[index];
}

void s3_seq_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index >= kSeqFirstExtended && !extended_seq_open(s)) return;
    if (index == kSeqClockLoad && (value & kDclkLoadBit) && !(s.seq[index] & kDclkLoadBit)) {
        s.s3_dclk[0] = s.seq[kSeqClockN];
        s.s3_dclk[1] = s.seq[kSeqClockM];
    }
    s.seq[index] = value;
}

bool dac_clocks_reached(const AdapterState& s) { return external_dac(s) && (s.crtc[kCrtcDacSelect] & kDacRs2); }

// The DAC clock's bytes in port order: M, then N1 | R << 5.
std::uint8_t& dac_clock_byte(AdapterState& s, int n) { return s.s3_dac_clock[n == 0 ? 1 : 0]; }

void s3_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    if (!dac_clocks_reached(s) || port < kPortDacReadIndex || port > kPortDacData) return vga_port_write(s, port, value);
    s.s3_dac_byte ^= 1;
    if (port != kPortDacData) {
        (port == kPortDacWriteIndex ? s.s3_dac_write_index : s.s3_dac_read_index) = value;
        s.s3_dac_byte = 0;
    } else if (s.s3_dac_byte == 1) {
        s.s3_dac_first = value;
    } else {
        // The second byte loads the clock (the model holds only the pixel
        // clock), and the index moves on to the next clock.
        if (s.s3_dac_write_index == kDacPixelClock) {
            dac_clock_byte(s, 0) = s.s3_dac_first;
            dac_clock_byte(s, 1) = value;
        }
        ++s.s3_dac_write_index;
    }
}

std::uint8_t s3_port_read(AdapterState& s, std::uint32_t port) {
    if (!dac_clocks_reached(s) || port != kPortDacData) return s.ports[port];
    const int n = s.s3_dac_byte;
    const std::uint8_t value = s.s3_dac_read_index == kDacPixelClock ? dac_clock_byte(s, n) : 0;
    s.s3_dac_byte ^= 1;
    if (n == 1) ++s.s3_dac_read_index;
    return value;
}

std::uint8_t s3_crtc_read(AdapterState& s, std::uint8_t index) { return crtc_reachable(s, index) ? s.crtc[index] : 0; }

void s3_crtc_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (!crtc_reachable(s, index) || read_only(index)) return;
    vga_crtc_write(s, index, value);
}

std::string s3_lock_state(const AdapterState& s) {
    char text[96];
    std::snprintf(text, sizeof text, "CR2D-CR3F %s (CR38), CR40+ %s (CR39), SR09+ %s (SR08)",
                  s3_registers_open(s) ? "open" : "locked", extended_crtc_open(s) ? "open" : "locked",
                  extended_seq_open(s) ? "open" : "locked");
    return text;
}

} // namespace

const FamilyHooks kS3Hooks{s3_power_on,   s3_seq_read,   s3_seq_write,  s3_crtc_read,  s3_crtc_write,
                           s3_port_write, s3_lock_state, s3_driver_clock, s3_scan_rules, s3_port_read};

} // namespace duo::sim
