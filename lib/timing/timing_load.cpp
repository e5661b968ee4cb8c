#include "lib/timing/timing_load.h"

#include "lib/timing/settings_file.h"

namespace duo {
namespace {

constexpr ClockSetting kNoClock{};

bool valid_slot(std::int32_t frequency) { return frequency >= 0 && frequency < kClockSlots; }

TimingTable& table_of_class(DepthClass depth, DepthClass current) {
    return depth == current ? g_timing.current_table : g_timing.stored_tables[depth];
}

bool has_clock(const ClockSetting& setting) { return (setting.b[0] | setting.b[1] | setting.b[2]) != 0; }

void load_defaults(std::int32_t chip, int bits_per_pixel, int width, int height) {
    g_timing.current_table.default_frequency = kLoadDefaultFrequency;
    for (TimingTable& t : g_timing.stored_tables) t.default_frequency = kLoadDefaultFrequency;

    const DepthClass current = depth_class_of(bits_per_pixel);
    if (current == kNoDepthClass || default_record(chip, width, height, current) == nullptr) return;
    if (deep_1024_withheld(chip, bits_per_pixel, width, height)) return;

    for (std::int32_t& s : g_timing.current_table.status) s = 1;
    for (TimingTable& t : g_timing.stored_tables)
        for (std::int32_t& s : t.status) s = 1;
    // The current class's data lives in the current table, so its own stored
    // table is left alone.
    for (int c = 0; c < kDepthClasses; ++c) {
        const DepthClass depth = static_cast<DepthClass>(c);
        const TimingRecord* record = default_record(chip, width, height, depth);
        if (record == nullptr) continue;
        for (TimingBlock& block : table_of_class(depth, current).blocks) copy_record(chip, *record, block);
    }
}

} // namespace

bool mode_has_timing(std::int32_t chip, int bits_per_pixel, int width, int height) {
    const DepthClass depth = depth_class_of(bits_per_pixel);
    return depth != kNoDepthClass && default_record(chip, width, height, depth) != nullptr &&
           !deep_1024_withheld(chip, bits_per_pixel, width, height) &&
           clock_table_for(chip, bits_per_pixel, width, height) >= 0;
}

void load_timing_tables() {
    const std::int32_t chip = g_adapter.chip_code;
    const int bits = g_adapter.colour_depth, width = g_adapter.display_width, height = g_adapter.display_height;
    const int table = clock_table_for(chip, bits, width, height);
    if (table >= 0) g_timing.clock_table_selection[family_of(chip)] = table;
    if (!read_settings_file()) load_defaults(chip, bits, width, height);
    // The clock tables leave some slots empty where the line rate would be
    // too low; neither they nor a block without timing are offered.
    for (std::int32_t f = 0; f < kFrequencyCount; ++f)
        if (!frequency_programmable(f)) g_timing.current_table.status[f] = 0;
}

bool frequency_programmable(std::int32_t frequency) {
    if (frequency < 0 || frequency >= kFrequencyCount || family_of(g_adapter.chip_code) == kNoFamily) return false;
    if (!block_has_timing(g_timing.current_table.blocks[frequency])) return false;
    if (!has_clock(selected_clock_setting(frequency))) return false;
    if (uses_resolution_clock_table(g_adapter.chip_code)) {
        const ClockSetting* change = resolution_clock_setting(frequency);
        if (change == nullptr || !has_clock(*change)) return false;
    }
    return true;
}

const ClockSetting& selected_clock_setting(std::int32_t frequency) {
    const Family family = family_of(g_adapter.chip_code);
    if (family == kNoFamily || !valid_slot(frequency)) return kNoClock;
    const auto tables = clock_tables(family);
    const int selection = g_timing.clock_table_selection[family];
    if (selection < 0 || static_cast<std::size_t>(selection) >= tables.size()) return kNoClock;
    return tables[static_cast<std::size_t>(selection)].slots[frequency];
}

const ClockSetting* change_clock_setting(std::int32_t frequency) {
    if (uses_resolution_clock_table(g_adapter.chip_code)) return resolution_clock_setting(frequency);
    if (family_of(g_adapter.chip_code) == kNoFamily) return nullptr;
    return &selected_clock_setting(frequency);
}

const ClockSetting* resolution_clock_setting(std::int32_t frequency) {
    if (!uses_resolution_clock_table(g_adapter.chip_code) || !valid_slot(frequency)) return nullptr;
    // At 24 bits a Trio's DCLK runs faster than at 8 and 16: the mode's depth
    // picks the table too.
    const int table =
        clock_table_for(g_adapter.chip_code, g_adapter.colour_depth, g_adapter.display_width, g_adapter.display_height);
    if (table < 0) return nullptr;
    return &clock_tables(kS3)[static_cast<std::size_t>(table)].slots[frequency];
}

bool block_has_timing(const TimingBlock& block) {
    for (int i = 0; i < kCrtcBlockBytes; ++i)
        if (block.bytes[i] != 0) return true;
    return false;
}

const TimingRecord* current_default_record() {
    return default_record(g_adapter.chip_code, g_adapter.display_width, g_adapter.display_height,
                          depth_class_of(g_adapter.colour_depth));
}

} // namespace duo
