// Derives the computed default timing records and clock tables and prints
// them as the C++ rows of lib/timing/defaults_<family>.cpp. The records come
// from one interlaced base timing per chip group and resolution (pixels and
// lines, as chosen below); the clock of each slot is the synthesizer setting
// closest to the pixel clock that gives the slot's field rate 75 + 5i Hz on
// that base. The tuned records and rows are kept as they are and not printed.
//
//   duo_timing_generator [trident|s3|cirrus|mach64|et6000]
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "lib/timing/synthesizers.h"
#include "lib/timing/timing_decode.h"

namespace duo {
namespace {

// One interlaced scan in pixels and lines. vt2 is the programmed vertical
// total (VT + 2): lines per field on Trident, S3 and Cirrus, per frame on
// mach64 and ET6000.
struct Base {
    int width, height;
    int h_total, h_sync_start, h_sync_end;
    int vt2;
};

// Where a tuned record or clock row fixes a group's scan, the base repeats it
// so that its siblings sharing the tuned clock table run at the same rates
// (every 640x480 scan: 322.5 line periods per field give 29.1 kHz at 90 Hz).
// The others keep the line rate inside 30-70 kHz from 90 Hz up: 340.5 or
// 409.5 line periods per field give 30.6/36.9 kHz at 90 Hz, 40.9/49.1 at 120.
constexpr Base kTuned640{640, 480, 800, 656, 752, 322}; // Trident 0x101 and S3 640x480 records
constexpr Base kOwn800{800, 600, 1056, 840, 968, 340};
constexpr Base kOwn1024{1024, 768, 1264, 1032, 1208, 409};    // as the tuned S3 0x203-0x205 16-bit record
constexpr Base kCirrus304At640{640, 480, 792, 656, 752, 316}; // as its tuned 8-bit record
// The mach64's 16- and 24-bit desktops at 640x480 have clocks of their own:
// its tuned 8-bit scan (313 lines per field) would leave the line rate under
// 30 kHz at 90 Hz.
constexpr Base kMach64Packed640{640, 480, 800, 656, 752, 681};
constexpr Base kFrame800{800, 600, 1056, 840, 968, 681};
constexpr Base kFrame1024{1024, 768, 1264, 1032, 1208, 819};
constexpr Base kEt6000At640{640, 480, 800, 656, 752, 651};  // fits its tuned 640x480 clock row
constexpr Base kEt6000At800{800, 600, 1056, 840, 968, 728}; // as its tuned 24-bit record

int bits_of(int depth_class) { return depth_class == 0 ? 8 : depth_class == 1 ? 16 : 24; }
int bytes_of(int depth_class) { return depth_class + 1; }

struct Record {
    std::uint8_t crtc[25];
    std::uint8_t ext[3];
};

// `scale`: character clocks the chip counts per 8 pixels.
Record make_record(Family family, const Base& b, int depth_class, int scale) {
    const bool per_frame = family == kMach64 || family == kEt6000;
    const int ht = b.h_total * scale / 8, hde = b.width * scale / 8, hrs = b.h_sync_start * scale / 8,
              hre = b.h_sync_end * scale / 8, hbe = ht - scale;
    const int vde = per_frame ? b.height : b.height / 2;
    const int vrs = per_frame ? vde + 3 : vde + 1, vre = vrs + (per_frame ? 6 : 3);
    const int vt = b.vt2 - 2, vbs = vde, vbe = b.vt2 - 1, lc = 0x3FF;
    const int offset = b.width * bytes_of(depth_class) / 8; // 8-byte units
    Record r{};
    std::uint8_t* c = r.crtc;
    c[0x00] = static_cast<std::uint8_t>(ht - 5);
    c[0x01] = static_cast<std::uint8_t>(hde - 1);
    c[0x02] = static_cast<std::uint8_t>(hde);
    // S3 lengthens a blanking pulse of 64 clocks or more by 64, and a
    // retrace of 32 or more by 32 (CR5D bits 3 and 5); the end fields then
    // hold the end less that length.
    const bool blank_plus64 = family == kS3 && hbe - hde >= 64, retrace_plus32 = family == kS3 && hre - hrs >= 32;
    const int hbe_field = blank_plus64 ? hbe - 64 : hbe, hre_field = retrace_plus32 ? hre - 32 : hre;
    c[0x03] = static_cast<std::uint8_t>(0x80 | (hbe_field & 0x1F));
    c[0x04] = static_cast<std::uint8_t>(hrs);
    c[0x05] = static_cast<std::uint8_t>((hbe_field & 0x20) << 2 | (hre_field & 0x1F));
    c[0x06] = static_cast<std::uint8_t>(vt);
    c[0x07] = static_cast<std::uint8_t>((vt >> 8 & 1) | ((vde - 1) >> 8 & 1) << 1 | (vrs >> 8 & 1) << 2 |
                                        (vbs >> 8 & 1) << 3 | (lc >> 8 & 1) << 4 | (vt >> 9 & 1) << 5 |
                                        ((vde - 1) >> 9 & 1) << 6 | (vrs >> 9 & 1) << 7);
    c[0x09] = static_cast<std::uint8_t>((lc >> 9 & 1) << 6 | (vbs >> 9 & 1) << 5);
    c[0x10] = static_cast<std::uint8_t>(vrs);
    c[0x11] = static_cast<std::uint8_t>(vre & 0x0F);
    c[0x12] = static_cast<std::uint8_t>(vde - 1);
    c[0x13] = static_cast<std::uint8_t>(offset);
    c[0x14] = 0x40; // doubleword addressing: the offset counts 8 bytes
    c[0x15] = static_cast<std::uint8_t>(vbs);
    c[0x16] = static_cast<std::uint8_t>(vbe);
    c[0x17] = 0xA3;
    c[0x18] = static_cast<std::uint8_t>(lc);
    const int ht5 = ht - 5, hde1 = hde - 1;
    switch (family) {
    case kTrident: // CRTC 0x29 offset bits 8-9; CRTC 0x19 half-line position
        r.ext[0] = static_cast<std::uint8_t>((offset >> 8 & 3) << 4);
        r.ext[1] = static_cast<std::uint8_t>(ht / 2);
        break;
    case kS3: // CRTC 0x3C (half the horizontal total register), 0x51, 0x5D
        r.ext[0] = static_cast<std::uint8_t>(ht5 / 2);
        r.ext[1] = static_cast<std::uint8_t>((offset >> 8 & 3) << 4);
        r.ext[2] = static_cast<std::uint8_t>((ht5 >> 8 & 1) | (hde1 >> 8 & 1) << 1 | (hde >> 8 & 1) << 2 |
                                             blank_plus64 << 3 | (hrs >> 8 & 1) << 4 | retrace_plus32 << 5);
        break;
    case kCirrus: // CRTC 0x1B bit 4 offset bit 8; CRTC 0x19 interlace end
        r.ext[0] = static_cast<std::uint8_t>((offset >> 8 & 1) << 4);
        r.ext[1] = static_cast<std::uint8_t>(ht / 2);
        break;
    case kMach64: r.ext[0] = static_cast<std::uint8_t>(offset >> 8 & 3); break;
    case kEt6000: // CRTC 0x35 interlace; CRTC 0x3F offset bit 8 in bit 7, bit 9 in bit 6
        r.ext[0] = 0x80;
        r.ext[1] = static_cast<std::uint8_t>((ht5 >> 8 & 1) | (hde1 >> 8 & 1) << 1 | (hde >> 8 & 1) << 2 |
                                             (hrs >> 8 & 1) << 4 | (offset >> 8 & 1) << 7 | (offset >> 9 & 1) << 6);
        break;
    default: break;
    }
    return r;
}

// Oscillator ranges kept by the search (Hz).
struct Range {
    double lo, hi;
    bool holds(double f) const { return f >= lo && f <= hi; }
};

ClockSetting search(Synthesizer synth, double target) {
    ClockSetting best{};
    double best_error = 1e300;
    auto consider = [&](ClockSetting s, Range vco) {
        const double v = vco_hz(synth, s);
        if (!vco.holds(v)) return;
        const double e = std::fabs(pixel_clock_hz(synth, s) - target);
        if (e < best_error) best_error = e, best = s;
    };
    switch (synth) {
    case Synthesizer::kTrident: // N 0-121, M 1-31, K 0-1; SEQ 0x0D halving only when needed
        for (int half = 0; half < 2; ++half)
            for (int k = 0; k < 2; ++k)
                for (int m = 1; m < 32; ++m)
                    for (int n = 0; n < 122; ++n) {
                        const int word = n | m << 7 | k << 12;
                        consider({{static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                                   static_cast<std::uint8_t>(half)}},
                                 {50e6, 140e6});
                    }
        break;
    case Synthesizer::kTridentNew: // N 0-255, M 1-63, K 0-2, the oscillator range of the older code
        for (int half = 0; half < 2; ++half)
            for (int k = 0; k < 3; ++k)
                for (int m = 1; m < 64; ++m)
                    for (int n = 0; n < 256; ++n)
                        consider({{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(m | k << 6),
                                   static_cast<std::uint8_t>(half)}},
                                 {50e6, 140e6});
        break;
    case Synthesizer::kS3: // the Trio data sheet range: one octave, so every clock is reachable
        for (int r = 0; r < 4; ++r)
            for (int n1 = 0; n1 < 32; ++n1)
                for (int m = 0; m < 128; ++m)
                    consider({{static_cast<std::uint8_t>(n1 | r << 5), static_cast<std::uint8_t>(m), 0}},
                             {135e6, 270e6});
        break;
    case Synthesizer::kCirrus:
    case Synthesizer::kCirrus304: {
        const std::uint8_t misc = synth == Synthesizer::kCirrus304 ? 0xEF : 0x00; // VCLK3, as the tuned rows
        for (int p = 0; p < 2; ++p)
            for (int div = 1; div < 32; ++div)
                for (int num = 1; num < 128; ++num)
                    consider({{static_cast<std::uint8_t>(num), static_cast<std::uint8_t>(div << 1 | p), misc}},
                             {28.6e6, 111e6});
        break;
    }
    case Synthesizer::kMach64:
        for (int p = 0; p < 4; ++p)
            for (int n = 1; n < 256; ++n)
                consider({{static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(n), 0}}, {80e6, 230e6});
        break;
    case Synthesizer::kEt6000:
        for (int n2 = 0; n2 < 4; ++n2)
            for (int n1 = 0; n1 < 32; ++n1)
                for (int m = 0; m < 128; ++m)
                    consider({{static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(n1 | n2 << 5), 0}},
                             {100e6, 270e6});
        break;
    case Synthesizer::kNone: break;
    }
    return best;
}

struct RecordJob {
    const char* group;
    int only_chip;
    const Base* base;
    int depth_class;
};

struct TableJob {
    const char* name;
    int chip;
    const Base* base;
    int first_slot; // slots below hold zero bytes
    int bits = 8;   // the depth whose clock-per-pixel rule the clocks follow
};

struct FamilyJobs {
    const char* name;
    Family family;
    int chip; // a chip of the family, for the counting rules
    std::vector<RecordJob> records;
    std::vector<TableJob> tables;
};

// The chip whose counting rules a record follows: the group's first chip.
int record_chip(int family_chip, const RecordJob& job) {
    if (job.only_chip) return job.only_chip;
    return std::strcmp(job.group, "kS3206And207") == 0 ? 0x206 : family_chip;
}

void print_record(Family family, int family_chip, const RecordJob& job) {
    const int chip = record_chip(family_chip, job);
    const Record r =
        make_record(family, *job.base, job.depth_class, horizontal_scale(chip, bits_of(job.depth_class)));
    TimingBlock block{};
    std::memcpy(block.bytes, r.crtc, 25);
    if (family == kS3)
        std::memcpy(block.bytes + 60, r.ext, 3);
    else
        std::memcpy(block.bytes + 25, r.ext, 2);
    const DecodedTiming t = decode_timing(chip, bits_of(job.depth_class), block);
    std::printf("    {ChipGroup::%s, %s, %d, %d, kDepth%d, false,\n     {{", job.group, job.only_chip ? "chip" : "0",
                job.base->width, job.base->height, bits_of(job.depth_class));
    for (int i = 0; i < 25; ++i) std::printf("0x%02X%s", r.crtc[i], i == 24 ? "" : ", ");
    std::printf("},\n      {0x%02X, 0x%02X, 0x%02X}}}, // %.0f px x %.1f lines per field\n", r.ext[0], r.ext[1],
                r.ext[2], t.h_total_px, t.field_lines);
}

void print_table(const TableJob& job) {
    const Synthesizer synth = synthesizer_of(job.chip);
    const bool per_frame = family_of(job.chip) == kMach64 || family_of(job.chip) == kEt6000;
    const double field_lines = per_frame ? job.base->vt2 / 2.0 : job.base->vt2 + 0.5;
    const int bytes = family_of(job.chip) == kTrident || family_of(job.chip) == kCirrus ? 3 : 2;
    const double per_pixel = clock_per_pixel(job.chip, job.bits);
    ClockSetting slots[20] = {};
    for (int i = job.first_slot; i < 10; ++i) {
        const double target = (75 + 5 * i) * job.base->h_total * field_lines * per_pixel;
        slots[i] = search(synth, target);
        // A rate the oscillator cannot reach stays without a clock.
        if (std::fabs(pixel_clock_hz(synth, slots[i]) - target) > target * 0.01) slots[i] = {};
    }
    for (int i = 10; i < 20; ++i) slots[i] = slots[9];
    std::printf("    // field rates, slots %d-9:", job.first_slot);
    for (int i = job.first_slot; i < 10; ++i) {
        if (pixel_clock_hz(synth, slots[i]) == 0) std::printf(" -");
        else std::printf(" %.2f", pixel_clock_hz(synth, slots[i]) / per_pixel / job.base->h_total / field_lines);
    }
    std::printf(" Hz\n    {\"%s\", false,\n     {", job.name);
    for (int i = 0; i < 20; ++i) {
        std::printf("{{");
        for (int k = 0; k < bytes; ++k) std::printf("0x%02X%s", slots[i].b[k], k + 1 == bytes ? "" : ", ");
        std::printf("}}%s", i == 19 ? "}},\n" : i % 5 == 4 ? ",\n      " : ", ");
    }
}

std::vector<FamilyJobs> jobs() {
    std::vector<FamilyJobs> all;
    all.push_back({"trident",
                   kTrident,
                   0x101,
                   {{"kTrident101", 0, &kTuned640, 1},      {"kTrident101", 0, &kTuned640, 2},
                    {"kTrident101", 0, &kOwn800, 0},        {"kTrident101", 0, &kOwn800, 1},
                    {"kTrident101", 0, &kOwn800, 2},        {"kTrident101", 0, &kOwn1024, 0},
                    {"kTrident101", 0, &kOwn1024, 1},       {"kTrident101", 0, &kOwn1024, 2},
                    {"kTrident102And105", 0, &kOwn800, 0},  {"kTrident102And105", 0, &kOwn800, 1},
                    {"kTrident102And105", 0, &kOwn800, 2},  {"kTrident102And105", 0, &kOwn1024, 0},
                    {"kTrident102And105", 0, &kOwn1024, 1}, {"kTrident102And105", 0, &kOwn1024, 2},
                    {"kTrident103", 0, &kTuned640, 0},      {"kTrident103", 0, &kTuned640, 1},
                    {"kTrident103", 0, &kTuned640, 2},      {"kTrident103", 0, &kOwn800, 0},
                    {"kTrident103", 0, &kOwn800, 1},        {"kTrident103", 0, &kOwn800, 2},
                    {"kTrident103", 0, &kOwn1024, 0},       {"kTrident103", 0, &kOwn1024, 1},
                    {"kTrident103", 0, &kOwn1024, 2}},
                   {{"0x103 640x480 24-bit", 0x103, &kTuned640, 3},
                    {"0x103 800x600 8/16-bit", 0x103, &kOwn800, 0},
                    {"0x103 800x600 24-bit", 0x103, &kOwn800, 3},
                    {"0x103 1024x768 8/16-bit", 0x103, &kOwn1024, 0},
                    {"0x101 640x480 8-bit", 0x101, &kTuned640, 3},
                    {"0x101 640x480 24-bit", 0x101, &kTuned640, 3},
                    {"0x101 800x600 8-bit", 0x101, &kOwn800, 3},
                    {"0x101 800x600 16-bit", 0x101, &kOwn800, 3, 16},
                    {"0x101 800x600 24-bit", 0x101, &kOwn800, 3},
                    {"0x101 1024x768 8-bit", 0x101, &kOwn1024, 3},
                    {"0x101 1024x768 16-bit", 0x101, &kOwn1024, 3, 16},
                    {"0x102/0x105 800x600", 0x102, &kOwn800, 3},
                    {"0x102/0x105 1024x768", 0x102, &kOwn1024, 3},
                    {"0x101 640x480 15/16-bit", 0x101, &kTuned640, 3, 16}}});
    all.push_back({"s3",
                   kS3,
                   0x203,
                   {{"kS3201To205", 0, &kTuned640, 1},
                    {"kS3201To205", 0, &kTuned640, 2},
                    {"kS3201To205", 0, &kOwn800, 0},
                    {"kS3201To205", 0, &kOwn800, 1},
                    {"kS3201To205", 0, &kOwn800, 2},
                    {"kS3201To205", 0, &kOwn1024, 0},
                    {"kS3206And207", 0, &kTuned640, 0},
                    {"kS3206And207", 0, &kTuned640, 1},
                    {"kS3206And207", 0, &kTuned640, 2},
                    {"kS3206And207", 0, &kOwn800, 0},
                    {"kS3206And207", 0, &kOwn800, 1},
                    {"kS3206And207", 0, &kOwn800, 2},
                    {"kS3206And207", 0, &kOwn1024, 0},
                    {"kS3206And207", 0, &kOwn1024, 1},
                    {"kS3206And207", 0, &kOwn1024, 2}},
                   {{"0x201-0x207 800x600", 0x203, &kOwn800, 0},
                    {"0x201-0x207 1024x768", 0x203, &kOwn1024, 0},
                    {"0x201-0x205 640x480 24-bit", 0x203, &kTuned640, 0, 24},
                    {"0x201-0x205 800x600 24-bit", 0x203, &kOwn800, 0, 24}}});
    all.push_back({"cirrus",
                   kCirrus,
                   0x301,
                   {{"kCirrus301To303", 0, &kTuned640, 0},
                    {"kCirrus301To303", 0, &kTuned640, 1},
                    {"kCirrus301To303", 0, &kTuned640, 2},
                    {"kCirrus301To303", 0, &kOwn800, 0},
                    {"kCirrus301To303", 0, &kOwn800, 1},
                    {"kCirrus301To303", 0, &kOwn800, 2},
                    {"kCirrus301To303", 0, &kOwn1024, 0},
                    {"kCirrus301To303", 0, &kOwn1024, 1},
                    {"kCirrus301To303", 0, &kOwn1024, 2},
                    {"kCirrus304", 0, &kCirrus304At640, 1},
                    {"kCirrus304", 0, &kCirrus304At640, 2},
                    {"kCirrus304", 0, &kOwn800, 0},
                    {"kCirrus304", 0, &kOwn800, 1},
                    {"kCirrus304", 0, &kOwn800, 2},
                    {"kCirrus304", 0, &kOwn1024, 0},
                    {"kCirrus304", 0, &kOwn1024, 1},
                    {"kCirrus304", 0, &kOwn1024, 2}},
                   {{"0x301-0x303 800x600", 0x301, &kOwn800, 0},
                    {"0x301-0x303 1024x768", 0x301, &kOwn1024, 0},
                    {"0x304 800x600", 0x304, &kOwn800, 3},
                    {"0x304 1024x768", 0x304, &kOwn1024, 3},
                    {"0x301 640x480 24-bit", 0x301, &kTuned640, 0, 24},
                    {"0x301 800x600 24-bit", 0x301, &kOwn800, 0, 24}}});
    all.push_back({"mach64",
                   kMach64,
                   0x401,
                   {{"kMach64", 0, &kMach64Packed640, 1},
                    {"kMach64", 0, &kMach64Packed640, 2},
                    {"kMach64", 0, &kFrame800, 0},
                    {"kMach64", 0, &kFrame800, 1},
                    {"kMach64", 0, &kFrame800, 2},
                    {"kMach64", 0, &kFrame1024, 0},
                    {"kMach64", 0, &kFrame1024, 1},
                    {"kMach64", 0, &kFrame1024, 2}},
                   {{"0x401 800x600", 0x401, &kFrame800, 0},
                    {"0x401 1024x768", 0x401, &kFrame1024, 0},
                    {"0x401 640x480 16/24-bit", 0x401, &kMach64Packed640, 0}}});
    all.push_back({"et6000",
                   kEt6000,
                   0x501,
                   {{"kEt6000", 0, &kEt6000At640, 0},
                    {"kEt6000", 0, &kEt6000At640, 1},
                    {"kEt6000", 0, &kEt6000At640, 2},
                    {"kEt6000", 0, &kEt6000At800, 0},
                    {"kEt6000", 0, &kEt6000At800, 1},
                    {"kEt6000", 0, &kFrame1024, 0},
                    {"kEt6000", 0, &kFrame1024, 1},
                    {"kEt6000", 0, &kFrame1024, 2}},
                   {{"0x501 800x600", 0x501, &kEt6000At800, 3}, {"0x501 1024x768", 0x501, &kFrame1024, 3}}});
    return all;
}

} // namespace
} // namespace duo

int main(int argc, char** argv) {
    using namespace duo;
    for (const FamilyJobs& f : jobs()) {
        if (argc > 1 && std::strcmp(argv[1], f.name) != 0) continue;
        std::printf("// %s: computed records\n", f.name);
        for (const RecordJob& r : f.records) print_record(f.family, f.chip, r);
        std::printf("// %s: computed clock tables\n", f.name);
        for (const TableJob& t : f.tables) print_table(t);
    }
    return 0;
}
