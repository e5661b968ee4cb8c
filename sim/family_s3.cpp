// S3 Trio32/Trio64/Trio64V+/Trio64V2, 868, ViRGE: identification through the
// S3 CRTC registers, behind the S3 register locks.
//
// Reading of the chip chosen here: CR38 = 0x48 opens CR2D-CR3F (apart from
// CR38 and CR39 themselves, always reachable); CR39 = 0xA5 opens the extended
// CRTC from 0x40 up (the chip also opens CR40-CR4F with 0xA0, which the
// library never writes); SR08 = 0x06 opens SR09 and up. Locked registers read
// 0 and ignore writes. The identification registers CR2D, CR2E, CR2F and CR30
// are read-only.
#include <cstdio>

#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint8_t kCrtcDeviceHigh = 0x2D, kCrtcDeviceLow = 0x2E, kCrtcRevision = 0x2F, kCrtcChipClass = 0x30;
constexpr std::uint8_t kCrtcLock1 = 0x38, kLock1Key = 0x48;
constexpr std::uint8_t kCrtcLock2 = 0x39, kLock2Key = 0xA5;
constexpr std::uint8_t kCrtcFirstS3 = 0x2D, kCrtcLastS3 = 0x3F, kCrtcFirstExtended = 0x40;
constexpr std::uint8_t kSeqUnlock = 0x08, kSeqUnlockKey = 0x06;
constexpr std::uint8_t kSeqFirstExtended = 0x09;

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

void s3_power_on(AdapterState& s, const AdapterModel& model) {
    s.crtc[kCrtcChipClass] = model.s3.chip_class;
    s.crtc[kCrtcDeviceHigh] = model.s3.device_high;
    s.crtc[kCrtcDeviceLow] = model.s3.device_low;
    s.crtc[kCrtcRevision] = model.s3.revision;
}

std::uint8_t s3_seq_read(AdapterState& s, std::uint8_t index) {
    if (index >= kSeqFirstExtended && !extended_seq_open(s)) return 0;
    return s.seq[index];
}

void s3_seq_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index >= kSeqFirstExtended && !extended_seq_open(s)) return;
    s.seq[index] = value;
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

const FamilyHooks kS3Hooks{s3_power_on,   s3_seq_read,    s3_seq_write, s3_crtc_read,
                           s3_crtc_write, vga_port_write, s3_lock_state};

} // namespace duo::sim
