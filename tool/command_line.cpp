#include "tool/command_line.h"

#include <cstddef>

namespace duo::tool {
namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Decimal integer as the C library reads it: blanks, one sign, digits up to
// the first non-digit. Saturates instead of overflowing.
long read_decimal(std::string_view text, std::size_t pos) {
    while (pos < text.size() && is_space(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    long value = 0;
    for (; pos < text.size() && is_digit(text[pos]); ++pos)
        if (value < 100000000) value = value * 10 + (text[pos] - '0');
    return negative ? -value : value;
}

} // namespace

int frequency_index_for_hz(long hz) {
    if (hz < 90 || hz > 120 || hz % 5 != 0) return -1;
    return static_cast<int>((hz - 75) / 5);
}

CommandLine scan_command_line(std::string_view text, int enable_frequency) {
    CommandLine out;
    out.enable_frequency = enable_frequency;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos++] != '/') continue;
        if (pos >= text.size()) break;
        const char letter = text[pos++];
        if (letter == 'E') {
            ++out.enable_commands;
        } else if (letter == 'H') {
            out.hidden = true;
        } else if (letter == 'F') {
            if (pos >= text.size()) break;
            if (text[pos] != ':') {
                ++pos; // the character after F is consumed either way
                continue;
            }
            const int index = frequency_index_for_hz(read_decimal(text, pos + 1));
            if (index >= 0) {
                out.enable_frequency = index;
                out.frequency_chosen = true;
            }
            pos += 2; // the rest of the number is ordinary text
        }
    }
    return out;
}

} // namespace duo::tool
