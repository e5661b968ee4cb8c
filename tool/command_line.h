// The tool's command line: /E (switch stereo on once running), /F:n (the
// stereo frequency in Hz, 90 to 120) and /H (never show the bar).
#pragma once
#include <string_view>

namespace duo::tool {

struct CommandLine {
    int enable_commands = 0;      // how many Enable commands to post
    bool hidden = false;
    int enable_frequency = 20;    // frequency index for Enable; 20 = library default
    bool frequency_chosen = false; // a valid /F: was given
};

// Frequency index for a /F: value in Hz, or -1 when it cannot be chosen
// this way (only 90 to 120 in steps of 5).
int frequency_index_for_hz(long hz);

// Walks the text; enable_frequency starts as the caller's current value.
CommandLine scan_command_line(std::string_view text, int enable_frequency);

} // namespace duo::tool
