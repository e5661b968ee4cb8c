#include "lib/hw/own_ports.h"

#include "lib/hw/driver_channel.h"
#include "lib/hw/vga_registers.h"

namespace duo::own_ports {
namespace {

constexpr std::uint32_t kPortLimit = 0x10000;
constexpr std::uint8_t kClockSelectBits = 0x0C;

// Trident: the clock word's two ports; SR0B read selects the new-mode
// sequencer bank, whose SR0D bits 1-2 divide the clock.
constexpr std::uint32_t kTridentClockLow = 0x43C8, kTridentClockHigh = 0x43C9;
constexpr std::uint8_t kTridentChipId = 0x0B, kTridentModeControl2 = 0x0D;
constexpr std::uint8_t kTridentClockSelect = 2;

// S3: SR08 = 0x06 opens SR09 and up; DCLK in SR12 (N1 | R << 5) and SR13 (M),
// loaded by a rising SR15 bit 5.
constexpr std::uint8_t kS3SeqUnlock = 0x08, kS3SeqKey = 0x06;
constexpr std::uint8_t kS3ClockN = 0x12, kS3ClockM = 0x13, kS3ClockLoad = 0x15, kS3LoadBit = 0x20;
constexpr std::uint8_t kS3ClockSelect = 3;
// S3 868: CR55 bits 0-1 reach the external DAC's extra registers (RS2/RS3);
// with bit 0 set, port 0x3C8 sets the DAC's clock write index, 0x3C7 its read
// index, and 0x3C9 carries a clock's two bytes, M first. The pixel clock
// under clock select 3 is the DAC's clock 3.
constexpr std::uint8_t kS3Lock1 = 0x38, kS3Lock1Key = 0x48, kS3Lock2 = 0x39, kS3Lock2Key = 0xA5;
constexpr std::uint8_t kS3DacSelect = 0x55, kS3DacSelectBits = 0x03, kS3DacClockBank = 0x01;
constexpr std::uint32_t kDacReadIndex = 0x3C7, kDacWriteIndex = 0x3C8, kDacData = 0x3C9;
constexpr std::uint8_t kS3DacPixelClock = 3;

// Cirrus: SR06 = 0x12 opens the extension registers; VCLKn's numerator at
// SR0B + n, denominator at SR1B + n, n the selected clock.
constexpr std::uint8_t kCirrusUnlock = 0x06, kCirrusKey = 0x12;
constexpr std::uint8_t kCirrusNumerator = 0x0B, kCirrusDenominator = 0x1B;

// ET6000: the clock index at base + 0x67, the indexed clock's two bytes in
// turn at base + 0x69; the pixel clock is clock 3.
constexpr std::uint32_t kEt6000ClockIndex = 0x67, kEt6000ClockData = 0x69;
constexpr std::uint8_t kEt6000PixelClock = 3;

std::uint8_t in(std::uint32_t port) {
    return port < kPortLimit ? platform::port_in(static_cast<std::uint16_t>(port)) : 0;
}

void out(std::uint32_t port, std::uint8_t value) {
    if (port < kPortLimit) platform::port_out(static_cast<std::uint16_t>(port), value);
}

bool kept_index_port(std::uint32_t port) { return port == kSeqIndex || port == kGraphicsIndex || port == kCrtcIndex; }

// The index register of a VGA register file as found, written back when
// the access is over.
struct KeptIndex {
    explicit KeptIndex(std::uint32_t index_port)
        : port(kept_index_port(index_port) ? index_port : 0), found(port ? in(port) : 0) {}
    ~KeptIndex() {
        if (port) out(port, found);
    }
    KeptIndex(const KeptIndex&) = delete;
    KeptIndex& operator=(const KeptIndex&) = delete;
    std::uint32_t port;
    std::uint8_t found;
};

std::uint8_t get(std::uint32_t index_port, std::uint8_t index) {
    out(index_port, index);
    return in(index_port + 1);
}

void put(std::uint32_t index_port, std::uint8_t index, std::uint8_t value) {
    out(index_port, index);
    out(index_port + 1, value);
}

void select_clock(std::uint8_t select) {
    out(kMiscOutputWrite, static_cast<std::uint8_t>((in(kMiscOutputRead) & ~kClockSelectBits) | (select << 2)));
}

// The S3 868's DAC clock registers open around `body`, and everything
// opened for them given back: the S3 locks, CR55, the palette write index.
template <typename Body>
void with_s3_dac_clocks(Body body) {
    const KeptIndex crtc(kCrtcIndex);
    const std::uint8_t lock1 = get(kCrtcIndex, kS3Lock1), lock2 = get(kCrtcIndex, kS3Lock2);
    put(kCrtcIndex, kS3Lock1, kS3Lock1Key);
    put(kCrtcIndex, kS3Lock2, kS3Lock2Key);
    const std::uint8_t dac_select = get(kCrtcIndex, kS3DacSelect);
    const std::uint8_t palette_index = in(kDacWriteIndex);
    put(kCrtcIndex, kS3DacSelect, static_cast<std::uint8_t>((dac_select & ~kS3DacSelectBits) | kS3DacClockBank));
    body();
    put(kCrtcIndex, kS3DacSelect, dac_select);
    out(kDacWriteIndex, palette_index);
    put(kCrtcIndex, kS3Lock2, lock2);
    put(kCrtcIndex, kS3Lock1, lock1);
}

// A PCI I/O base the detection can have verified: 256-byte aligned and
// above the ports that ISA cards decode (and alias).
bool et6000_base(std::uint32_t base) { return base >= 0x1000 && (base & 0xFF) == 0 && base < kPortLimit; }

} // namespace

std::uint8_t read_port(std::uint32_t port) { return in(port); }

void write_port(std::uint32_t port, std::uint8_t value) { out(port, value); }

std::uint8_t read_index(std::uint32_t index_port, std::uint8_t index) {
    const KeptIndex kept(index_port);
    return get(index_port, index);
}

void write_index(std::uint32_t index_port, std::uint8_t index, std::uint8_t value) {
    const KeptIndex kept(index_port);
    put(index_port, index, value);
}

void read_block(std::uint32_t index_port, std::uint8_t first_index, std::uint8_t count, std::uint8_t* buffer) {
    if (!buffer) return;
    const KeptIndex kept(index_port);
    for (unsigned i = 0; i < count && first_index + i <= 0xFF; ++i)
        buffer[i] = get(index_port, static_cast<std::uint8_t>(first_index + i));
}

void write_block(std::uint32_t index_port, std::uint8_t first_index, std::uint8_t count, const std::uint8_t* buffer) {
    if (!buffer) return;
    const KeptIndex kept(index_port);
    for (unsigned i = 0; i < count && first_index + i <= 0xFF; ++i)
        put(index_port, static_cast<std::uint8_t>(first_index + i), buffer[i]);
}

void trident_clock(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    out(kTridentClockLow, b0);
    out(kTridentClockHigh, b1);
    {
        const KeptIndex seq(kSeqIndex);
        get(kSeqIndex, kTridentChipId);
        const std::uint8_t divide = get(kSeqIndex, kTridentModeControl2);
        put(kSeqIndex, kTridentModeControl2, static_cast<std::uint8_t>((divide & ~0x06) | ((b2 & 0x03) << 1)));
    }
    select_clock(kTridentClockSelect);
}

void s3_clock(std::uint8_t b0, std::uint8_t b1) {
    {
        const KeptIndex seq(kSeqIndex);
        const std::uint8_t lock = get(kSeqIndex, kS3SeqUnlock);
        put(kSeqIndex, kS3SeqUnlock, kS3SeqKey);
        put(kSeqIndex, kS3ClockN, b0);
        put(kSeqIndex, kS3ClockM, b1);
        // The load bit is left clear, as after every load; a bit found set
        // is cleared first so that the next write is a rising edge.
        const std::uint8_t load = get(kSeqIndex, kS3ClockLoad);
        const auto idle = static_cast<std::uint8_t>(load & ~kS3LoadBit);
        if (load & kS3LoadBit) put(kSeqIndex, kS3ClockLoad, idle);
        put(kSeqIndex, kS3ClockLoad, static_cast<std::uint8_t>(idle | kS3LoadBit));
        put(kSeqIndex, kS3ClockLoad, idle);
        put(kSeqIndex, kS3SeqUnlock, lock);
    }
    select_clock(kS3ClockSelect);
}

void s3_dac_clock(std::uint8_t b0, std::uint8_t b1) {
    with_s3_dac_clocks([&] {
        out(kDacWriteIndex, kS3DacPixelClock);
        out(kDacData, b1);
        out(kDacData, b0);
    });
    select_clock(kS3ClockSelect);
}

void s3_dac_clock_read(std::uint8_t& b0, std::uint8_t& b1) {
    with_s3_dac_clocks([&] {
        out(kDacReadIndex, kS3DacPixelClock);
        b1 = in(kDacData);
        b0 = in(kDacData);
    });
}

void cirrus_clock(std::uint8_t b0, std::uint8_t b1) {
    const KeptIndex seq(kSeqIndex);
    const std::uint8_t lock = get(kSeqIndex, kCirrusUnlock);
    put(kSeqIndex, kCirrusUnlock, kCirrusKey);
    const std::uint8_t clock = (in(kMiscOutputRead) & kClockSelectBits) >> 2;
    put(kSeqIndex, static_cast<std::uint8_t>(kCirrusNumerator + clock), b0);
    put(kSeqIndex, static_cast<std::uint8_t>(kCirrusDenominator + clock), b1);
    put(kSeqIndex, kCirrusUnlock, lock);
}

void et6000_clock_read(std::uint32_t base_port, std::uint8_t& b0, std::uint8_t& b1) {
    b0 = b1 = 0;
    if (!et6000_base(base_port)) return;
    out(base_port + kEt6000ClockIndex, kEt6000PixelClock);
    b0 = in(base_port + kEt6000ClockData);
    b1 = in(base_port + kEt6000ClockData);
}

void et6000_clock_write(std::uint32_t base_port, std::uint8_t b0, std::uint8_t b1) {
    if (!et6000_base(base_port)) return;
    out(base_port + kEt6000ClockIndex, kEt6000PixelClock);
    out(base_port + kEt6000ClockData, b0);
    out(base_port + kEt6000ClockData, b1);
}

} // namespace duo::own_ports
