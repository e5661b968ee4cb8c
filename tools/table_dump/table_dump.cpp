// duotables: prints the built-in timing records and clock tables with what
// each clock slot gives on the screen, so that the tables can be checked by
// eye. duotables [--json]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "lib/timing/defaults.h"
#include "lib/timing/defaults_data.h"
#include "lib/timing/synthesizers.h"
#include "lib/timing/timing_decode.h"

namespace duo {
namespace {

constexpr const char* kFamilyNames[kFamilies] = {"Trident", "S3", "Cirrus Logic", "ATI mach64", "ET6000"};
constexpr Family kAllFamilies[] = {kTrident, kS3, kCirrus, kMach64, kEt6000};

int bits_of(DepthClass depth) { return depth == kDepth8 ? 8 : depth == kDepth16 ? 16 : 24; }

// A chip the record is shown for: the first chip of the table for which the
// library picks this record; 0 (plain VGA, no clock table) for a record no
// chip gets.
std::int32_t chip_of(const RecordEntry& e) {
    for (const ChipRow& row : chip_rows())
        if (default_record(row.code, e.width, e.height, e.depth) == &e.record) return row.code;
    return 0;
}

// The chips a record serves, from the chip table: its own chip, or its
// group's codes as a run (0x201-0x205) or a list (0x102/0x105).
std::string group_name(ChipGroup g, std::int32_t only_chip) {
    std::vector<std::int32_t> codes;
    if (only_chip != 0) codes.push_back(only_chip);
    else
        for (const ChipRow& row : chip_rows())
            if (row.group == g) codes.push_back(row.code);
    if (codes.empty()) return "-";
    char buf[16];
    const bool run = codes.size() > 2 && codes.back() - codes.front() + 1 == static_cast<std::int32_t>(codes.size());
    if (run) {
        std::snprintf(buf, sizeof buf, "0x%X-0x%X", codes.front(), codes.back());
        return buf;
    }
    std::string name;
    for (std::int32_t code : codes) {
        std::snprintf(buf, sizeof buf, name.empty() ? "0x%X" : "/0x%X", code);
        name += buf;
    }
    return name;
}

TimingBlock block_of(std::int32_t chip, const TimingRecord& r) {
    TimingBlock b{};
    copy_record(chip, r, b);
    return b;
}

std::string hex_bytes(const std::uint8_t* b, int n) {
    std::string s;
    char buf[4];
    for (int i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", b[i]);
        s += buf;
    }
    return s;
}

// A chip whose synthesizer reads the family's table k: the first chip of the
// table that uses it in some mode, else the family's first chip.
std::int32_t table_chip(Family f, std::size_t k) {
    std::int32_t first = 0;
    for (const ChipRow& row : chip_rows()) {
        if (row.family != f) continue;
        if (first == 0) first = row.code;
        for (const auto& by_depth : row.clock_table)
            for (int index : by_depth)
                if (index >= 0 && static_cast<std::size_t>(index) == k) return row.code;
    }
    return first;
}

int setting_size(Family f) { return f == kTrident || f == kCirrus ? 3 : 2; }

struct SlotView {
    std::string bytes;
    double clock_hz, line_hz, field_hz, deviation_pct;
};

SlotView view_slot(std::int32_t chip, const DecodedTiming& t, const ClockSetting& s, int slot) {
    SlotView v{hex_bytes(s.b, setting_size(family_of(chip))), pixel_clock_hz(synthesizer_of(chip), s), 0, 0, 0};
    const ScanRates r = scan_rates(t, v.clock_hz);
    v.line_hz = r.line_rate_hz;
    v.field_hz = r.field_rate_hz;
    const double nominal = 75 + 5 * slot;
    v.deviation_pct = v.clock_hz > 0 ? (v.field_hz - nominal) / nominal * 100 : 0;
    return v;
}

void print_text() {
    for (Family f : kAllFamilies) {
        std::printf("==== %s ====\n", kFamilyNames[f]);
        const auto tables = clock_tables(f);
        for (const RecordEntry& e : default_records(f)) {
            const std::int32_t chip = chip_of(e);
            const int bits = bits_of(e.depth);
            const TimingBlock block = block_of(chip, e.record);
            const DecodedTiming t = decode_timing(chip, bits, block);
            std::printf("\nrecord %s %dx%d %d-bit%s\n  bytes 0-24: %s\n  extension: %s\n",
                        group_name(e.group, e.only_chip).c_str(), e.width, e.height, bits, e.quoted ? " (quoted)" : "",
                        hex_bytes(e.record.crtc, 25).c_str(), hex_bytes(e.record.ext, f == kS3 ? 3 : 2).c_str());
            std::printf("  total %.0f px (%d character clocks), VT+2 = %d, %.1f line periods per field, %d lines\n",
                        t.h_total_px, t.h_total_chars, t.v_total, t.field_lines, t.shown_lines);
            const int index = clock_table_for(chip, bits, e.width, e.height);
            if (index < 0) {
                std::printf("  no clock table at this depth and resolution\n");
                continue;
            }
            const ClockTable& table = tables[static_cast<std::size_t>(index)];
            std::printf("  clock table %s%s\n  slot  Hz   bytes     MHz      kHz      Hz    deviation\n", table.name,
                        table.quoted ? " (quoted)" : "");
            for (int i = 0; i < kFrequencyCount; ++i) {
                const SlotView v = view_slot(chip, t, table.slots[i], i);
                if (v.clock_hz <= 0) {
                    std::printf("  %2d  %3d   %-8s  no clock\n", i, 75 + 5 * i, v.bytes.c_str());
                    continue;
                }
                std::printf("  %2d  %3d   %-8s %7.3f  %7.3f  %7.2f  %+6.2f %%\n", i, 75 + 5 * i, v.bytes.c_str(),
                            v.clock_hz / 1e6, v.line_hz / 1e3, v.field_hz, v.deviation_pct);
            }
        }
        std::printf("\nclock tables of the %s family (selection index: name)\n", kFamilyNames[f]);
        for (std::size_t k = 0; k < tables.size(); ++k) {
            std::printf("  %zu: %s%s\n   ", k, tables[k].name, tables[k].quoted ? " (quoted)" : "");
            for (int i = 0; i < kClockSlots; ++i) {
                const ClockSetting& s = tables[k].slots[i];
                std::printf(" %s=%.3f", hex_bytes(s.b, setting_size(f)).c_str(),
                            pixel_clock_hz(synthesizer_of(table_chip(f, k)), s) / 1e6);
                if (i % 5 == 4) std::printf("\n   ");
            }
            std::printf("\n");
        }
        std::printf("\n");
    }
}

void print_json() {
    std::printf("{\n  \"families\": [\n");
    bool first_family = true;
    for (Family f : kAllFamilies) {
        std::printf("%s    {\"family\": \"%s\",\n     \"records\": [\n", first_family ? "" : ",\n", kFamilyNames[f]);
        first_family = false;
        const auto tables = clock_tables(f);
        bool first_record = true;
        for (const RecordEntry& e : default_records(f)) {
            const std::int32_t chip = chip_of(e);
            const int bits = bits_of(e.depth);
            const DecodedTiming t = decode_timing(chip, bits, block_of(chip, e.record));
            const int index = clock_table_for(chip, bits, e.width, e.height);
            std::printf("%s      {\"chips\": \"%s\", \"width\": %d, \"height\": %d, \"bits\": %d, \"quoted\": %s, "
                        "\"bytes\": \"%s\", \"extension\": \"%s\", \"h_total_px\": %.1f, \"v_total\": %d, "
                        "\"field_lines\": %.1f, \"clock_table\": ",
                        first_record ? "" : ",\n", group_name(e.group, e.only_chip).c_str(), e.width, e.height, bits,
                        e.quoted ? "true" : "false", hex_bytes(e.record.crtc, 25).c_str(),
                        hex_bytes(e.record.ext, f == kS3 ? 3 : 2).c_str(), t.h_total_px, t.v_total, t.field_lines);
            first_record = false;
            if (index < 0) {
                std::printf("null, \"slots\": []}");
                continue;
            }
            const ClockTable& table = tables[static_cast<std::size_t>(index)];
            std::printf("\"%s\", \"table_quoted\": %s, \"slots\": [", table.name, table.quoted ? "true" : "false");
            for (int i = 0; i < kFrequencyCount; ++i) {
                const SlotView v = view_slot(chip, t, table.slots[i], i);
                std::printf("%s{\"slot\": %d, \"nominal_hz\": %d, \"bytes\": \"%s\", \"pixel_clock_hz\": %.0f, "
                            "\"line_rate_hz\": %.1f, \"field_rate_hz\": %.3f, \"deviation_pct\": %.3f}",
                            i ? ", " : "", i, 75 + 5 * i, v.bytes.c_str(), v.clock_hz, v.line_hz, v.field_hz,
                            v.deviation_pct);
            }
            std::printf("]}");
        }
        std::printf("\n     ],\n     \"clock_tables\": [\n");
        for (std::size_t k = 0; k < tables.size(); ++k) {
            std::printf("%s      {\"selection\": %zu, \"name\": \"%s\", \"quoted\": %s, \"slots\": [", k ? ",\n" : "",
                        k, tables[k].name, tables[k].quoted ? "true" : "false");
            for (int i = 0; i < kClockSlots; ++i)
                std::printf("%s\"%s\"", i ? ", " : "", hex_bytes(tables[k].slots[i].b, setting_size(f)).c_str());
            std::printf("]}");
        }
        std::printf("\n     ]}");
    }
    std::printf("\n  ]\n}\n");
}

} // namespace
} // namespace duo

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--json") == 0) {
        duo::print_json();
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, "usage: duotables [--json]\n");
        return 2;
    }
    duo::print_text();
    return 0;
}
