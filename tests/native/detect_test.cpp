// Detection against the simulated adapters: the HardWareKey parse, the
// registry walk over a fake configuration manager list, and the register
// probes of the five families.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <memory>
#include <string>

#include "lib/core/state.h"
#include "lib/hw/detect.h"
#include "lib/hw/hardware_key.h"
#include "lib/hw/registry.h"
#include "tests/native/fake_platform.h"
#include "tests/native/fake_registry.h"

namespace duo {
namespace {

// The value copied to a buffer of exactly its length, without terminator, so
// that a sanitized build stops any read past it.
std::int32_t parse(std::string_view value) {
    std::unique_ptr<char[]> copy(new char[value.size() ? value.size() : 1]);
    std::memcpy(copy.get(), value.data(), value.size());
    return parse_hardware_key(copy.get(), value.size());
}

TEST(HardwareKeyParse, FullValuesAsTheConfigurationManagerListsThem) {
    EXPECT_EQ(parse("PCI\\VEN_5333&DEV_8880&SUBSYS_00000000&REV_00\\BUS_00&DEV_0D&FUNC_00"), 0x205);
    EXPECT_EQ(parse("PCI\\VEN_5333&DEV_8A01&SUBSYS_00000000&REV_01\\BUS_00&DEV_0D&FUNC_00"), 0x206);
    EXPECT_EQ(parse("PCI\\VEN_1002&DEV_5654\\BUS_00&DEV_0B&FUNC_00"), 0x401);
    EXPECT_EQ(parse("PCI\\VEN_100C&DEV_3208"), 0x501);
    EXPECT_EQ(parse("PCI\\VEN_1013&DEV_00B8"), 0x303);
    EXPECT_EQ(parse("PCI\\VEN_1013&DEV_00D6"), 0x304);
}

TEST(HardwareKeyParse, ListedDevicesWithoutChipCodeAndUnknownOnesGiveNothing) {
    EXPECT_EQ(parse("PCI\\VEN_5333&DEV_8811"), 0) << "listed, left to the probes";
    EXPECT_EQ(parse("PCI\\VEN_1023&DEV_9440"), 0);
    EXPECT_EQ(parse("PCI\\VEN_5333&DEV_8810"), 0) << "vendor known, device not";
    EXPECT_EQ(parse("PCI\\VEN_8086&DEV_122D"), 0) << "vendor not in the table";
    EXPECT_EQ(parse("PCI\\VEN_1013&DEV_8880"), 0) << "another vendor's device";
    EXPECT_EQ(parse("PCI\\VEN_5333&DEV_00B8"), 0);
}

TEST(HardwareKeyParse, HexDigitsInEitherCaseButTagsOnlyInUpperCase) {
    EXPECT_EQ(parse("PCI\\VEN_100c&DEV_3208"), 0x501);
    EXPECT_EQ(parse("PCI\\VEN_5333&DEV_8a01"), 0x206);
    EXPECT_EQ(parse("PCI\\VEN_1013&DEV_00d6"), 0x304);
    EXPECT_EQ(parse("pci\\VEN_5333&DEV_8880"), 0);
    EXPECT_EQ(parse("PCI\\ven_5333&DEV_8880"), 0);
    EXPECT_EQ(parse("PCI\\VEN_5333&Dev_8880"), 0);
    EXPECT_EQ(parse("ISAPNP\\VEN_5333&DEV_8880"), 0);
    EXPECT_EQ(parse("PCX\\VEN_5333&DEV_8880"), 0) << "all three letters of each tag";
    EXPECT_EQ(parse("PCI\\VEX_5333&DEV_8880"), 0);
    EXPECT_EQ(parse("PCI\\VEN_5333&DEX_8880"), 0);
}

TEST(HardwareKeyParse, SeparatorsAreNotLookedAt) {
    EXPECT_EQ(parse("PCI/VEN-5333#DEV:8880"), 0x205);
    EXPECT_EQ(parse("PCI VEN 5333 DEV 8A01"), 0x206);
}

TEST(HardwareKeyParse, ANonHexCharacterMakesTheNumberZero) {
    EXPECT_EQ(parse("PCI\\VEN_53G3&DEV_8880"), 0);
    EXPECT_EQ(parse("PCI\\VEN_ 5333&DEV_8880"), 0) << "the digits shift out of place";
    EXPECT_EQ(parse("PCI\\VEN_5333&DEV_88x0"), 0);
    EXPECT_EQ(parse("PCI\\VEN_5333&DEV_-880"), 0);
    // Characters next to the digits in the character set are not digits.
    for (const char* near : {"PCI\\VEN_5333&DEV_888x", "PCI\\VEN_5333&DEV_888W", "PCI\\VEN_5333&DEV_888:",
                             "PCI\\VEN_5333&DEV_888/", "PCI\\VEN_5333&DEV_888@", "PCI\\VEN_5333&DEV_888`",
                             "PCI\\VEN_5333&DEV_888G", "PCI\\VEN_5333&DEV_888g"})
        EXPECT_EQ(parse(near), 0) << near;
}

TEST(HardwareKeyParse, ValuesShorterThanTwentyOneCharactersGiveNothing) {
    const std::string full = "PCI\\VEN_5333&DEV_8880";
    ASSERT_EQ(full.size(), 21u);
    EXPECT_EQ(parse(full), 0x205);
    for (std::size_t n = 0; n < full.size(); ++n) EXPECT_EQ(parse(full.substr(0, n)), 0) << n;
    // The bytes past the length would complete a match: they must not count.
    EXPECT_EQ(parse_hardware_key(full.c_str(), 20), 0);
    EXPECT_EQ(parse_hardware_key(nullptr, 21), 0);
}

// The mach64's BAR1 in the allocation record the simulated configuration
// manager lists: found once its whole entry lies inside the length, never
// from a cut or damaged entry, and only as a 256-aligned range of 256 ports
// above the ISA ports. The record is copied to exactly its length.
TEST(AllocationParse, Bar1IsFoundOnlyInAWholeWellFormedEntry) {
    std::uint8_t record[256];
    const std::size_t size = sim::allocation_record(*sim::find_adapter("mach64-vt"), record, sizeof record);
    const auto base = [](const std::uint8_t* bytes, std::size_t n) {
        std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[n ? n : 1]);
        std::memcpy(copy.get(), bytes, n);
        return block_io_base(copy.get(), n);
    };
    ASSERT_GT(size, 24u);
    const std::size_t bar1_end = size - 4; // the terminating DWORD follows it
    for (std::size_t n = 0; n <= size; ++n) EXPECT_EQ(base(record, n), n >= bar1_end ? 0xE000 : 0) << n;
    EXPECT_EQ(sim::allocation_record(*sim::find_adapter("mach64-vt"), record, size - 1), 0u) << "does not fit";
    EXPECT_EQ(sim::allocation_record(*sim::find_adapter("s3-765"), record, sizeof record) > 0, true);
    EXPECT_EQ(base(record, sizeof record), 0) << "no BAR1 listed";
    const std::uint8_t unaligned[] = {0, 4, 0, 0, 20, 0, 0, 0, 2, 0, 0, 0, 1, 0, 12, 0, 0x10, 0xE0, 0x0F, 0xE1, 0, 0, 0xFF, 0xFF,
                                      20, 0, 0, 0, 2, 0, 0, 0, 1, 0, 12, 0, 0x00, 0x03, 0xFF, 0x03, 0, 0, 0xFF, 0xFF,
                                      0xFF, 0xFF, 0xFF, 0x7F, 2, 0, 0, 0};
    EXPECT_EQ(base(unaligned, sizeof unaligned), 0) << "misaligned, ISA, then an entry longer than the record";
}

class Detection : public ::testing::Test {
protected:
    void use(const char* adapter, std::uint32_t seed = sim::run_seed()) {
        testing::reset_world(adapter, {800, 600, 16}, seed);
        testing::reset_registry();
    }
    sim::AdapterState& adapter() { return *testing::fake().adapter; }
    void TearDown() override {
        EXPECT_EQ(testing::fake_registry().open_keys, 0) << "every key opened is closed";
        EXPECT_EQ(testing::fake_registry().bad_closes, 0) << "and no other";
        testing::reset_registry(); // later tests start with nothing listed
    }
};

// A mach64 that decodes only block I/O is found at the BAR1 its allocation
// record lists, whatever the seed chose.
TEST_F(Detection, EverySimulatedAdapterAsListedByTheConfigurationManager) {
    int count = 0, block_cards = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    for (std::uint32_t seed : {sim::run_seed(), 1u, 2u, 3u, 4u, 5u, 6u}) {
        for (int i = 0; i < count; ++i) {
            const sim::AdapterModel& m = models[i];
            SCOPED_TRACE(std::string(m.name) + " seed " + std::to_string(seed));
            use(m.name, seed);
            testing::list_device("C0000010", "PCI\\VEN_8086&DEV_122D&SUBSYS_00000000&REV_02\\BUS_00&DEV_00&FUNC_00");
            testing::list_adapter(m);
            const std::uint32_t block = adapter().mach64_block_base;
            block_cards += block != 0;
            EXPECT_EQ(detect_chip(), m.expected_chip);
            EXPECT_EQ(g_shared.mach64_base_port, block ? static_cast<std::int32_t>(block) : m.expected_mach64_base);
            EXPECT_EQ(g_shared.et6000_base_port, m.expected_et6000_base);
        }
    }
    EXPECT_GT(block_cards, 0);
}

struct ProbeOnly {
    const char* adapter;
    std::int32_t chip, mach64_base, et6000_base;
};

TEST_F(Detection, WithoutRegistryTheProbesDecide) {
    const ProbeOnly cases[] = {
        {"s3-virge-dx", 0x207, 0x2EC, 0}, // same chip: 0x206 through its PCI entry
        {"s3-868", 0x205, 0x2EC, 0},
        {"cirrus-544x", 0x303, 0x2EC, 0},
        {"cirrus-5465", 0, 0x1C8, 0}, // known by its PCI entry only
        {"mach64-vt", 0x401, 0x2EC, 0},
        {"et6000", 0x501, 0x1C8, 0xE800},
    };
    for (const ProbeOnly& c : cases) {
        SCOPED_TRACE(c.adapter);
        use(c.adapter, 0); // the mach64 decoding sparse ports; block I/O needs the registry
        testing::fake_registry().enum_key_present = false;
        EXPECT_EQ(detect_chip(), c.chip);
        EXPECT_EQ(g_shared.mach64_base_port, c.mach64_base);
        EXPECT_EQ(g_shared.et6000_base_port, c.et6000_base);
    }
}

TEST_F(Detection, AListedS3DeviceWithoutChipCodeLeavesTheChoiceToTheProbe) {
    const std::pair<const char*, std::int32_t> cases[] = {{"s3-732", 0x201}, {"s3-764", 0x202}, {"s3-765", 0x203}};
    for (const auto& [name, chip] : cases) {
        use(name);
        testing::list_device("C0000020", "PCI\\VEN_5333&DEV_8811&SUBSYS_00000000&REV_00");
        EXPECT_EQ(detect_chip(), chip) << name;
        EXPECT_EQ(testing::fake_registry().queried.size(), 1u);
    }
}

TEST_F(Detection, TheWalkGoesOnPastDevicesWithoutChipCodeAndStopsAtTheFirstMatch) {
    use("vga");
    testing::list_device("C0000001", "PCI\\VEN_5333&DEV_8811");
    testing::list_device("C0000002", "ROOT\\*PNP0A03\\0000");
    testing::list_device("C0000003", "PCI\\VEN_100C&DEV_3208");
    testing::list_device("C0000004", "PCI\\VEN_5333&DEV_8880");
    EXPECT_EQ(detect_chip(), 0x501);
    const std::vector<std::string> read = {"C0000001", "C0000002", "C0000003"};
    EXPECT_EQ(testing::fake_registry().queried, read);
    EXPECT_EQ(g_shared.mach64_base_port, 0x2EC) << "no probe ran";
}

TEST_F(Detection, SubkeysThatFailToOpenOrHaveNoUsableValueAreSkipped) {
    use("vga");
    auto& devices = testing::fake_registry().devices;
    testing::list_device("C0000001", "PCI\\VEN_5333&DEV_8880");
    devices.back().opens = false;
    testing::list_device("C0000002", "PCI\\VEN_1002&DEV_5654");
    devices.back().has_value = false;
    testing::list_device("C0000003", "PCI\\VEN_1013&DEV_00B8" + std::string(300, 'x')); // does not fit
    testing::list_device("C0000004", "PCI\\VEN_1013&DEV_00D6");
    EXPECT_EQ(detect_chip(), 0x304);

    // A value that fills the buffer exactly, terminator included, is read.
    use("vga");
    const std::string key = "PCI\\VEN_1013&DEV_00D6";
    testing::list_device("C0000001", key + std::string(platform::kRegistryValueSize - 1 - key.size(), '0'));
    EXPECT_EQ(detect_chip(), 0x304);
}

// A mach64 named by the registry still has its I/O base probed: the base
// that answers. Where none does (a card decoding only block I/O with no
// allocation on record, or a mach32 answering) nothing can reach it, and no
// chip is reported rather than a guessed base written to.
TEST_F(Detection, AListedMach64TakesTheBaseThatAnswersOrIsNotReached) {
    const std::pair<const char*, std::int32_t> cases[] = {{"mach64-ct", 0x1CC}, {"mach64-vt", 0x2EC}};
    for (const auto& [name, base] : cases) {
        use(name, 0);
        testing::list_device("C0000001", "PCI\\VEN_1002&DEV_5654");
        EXPECT_EQ(detect_chip(), 0x401) << name;
        EXPECT_EQ(g_shared.mach64_base_port, base) << name;
    }
    for (const char* name : {"vga", "mach32"}) {
        use(name, 0);
        testing::list_device("C0000001", "PCI\\VEN_1002&DEV_5654");
        EXPECT_EQ(detect_chip(), 0) << name;
    }
}

TEST_F(Detection, TheWalkStopsWhereEnumerationFails) {
    use("vga");
    testing::list_device("C0000001", "PCI\\VEN_8086&DEV_7000");
    testing::list_device("C0000002", "PCI\\VEN_5333&DEV_8880");
    testing::fake_registry().devices.back().enumerates = false;
    testing::list_device("C0000003", "PCI\\VEN_1002&DEV_5654");
    EXPECT_EQ(detect_chip(), 0);
    EXPECT_EQ(testing::fake_registry().queried, std::vector<std::string>{"C0000001"});
}

TEST_F(Detection, WithoutTheEnumerationKeyTheWalkYieldsNothing) {
    use("s3-765");
    testing::fake_registry().enum_key_present = false;
    EXPECT_EQ(detect_chip(), 0x203);
}

TEST_F(Detection, TridentMembersBySequencerIdAndRevision) {
    // 0x21 is the ProVidia 9685; the Cyber laptop revisions (newer clock code,
    // no tables of their own) are refused; the others are driven as a 9660.
    const std::pair<std::uint8_t, std::int32_t> revisions[] = {
        {0x21, 0x105}, {0x00, 0x103}, {0x01, 0x103}, {0x10, 0x103}, {0x12, 0x103}, {0x20, 0x103},
        {0x2F, 0x103}, {0x22, 0},     {0x23, 0},     {0x2A, 0},     {0x30, 0},     {0x3A, 0},
        {0xB3, 0},     {0x43, 0},     {0x4A, 0}};
    for (const auto& [revision, chip] : revisions) {
        use("trident-9680");
        adapter().seq[0x09] = revision;
        EXPECT_EQ(detect_chip(), chip) << std::hex << int(revision);
    }
    use("trident-9440");
    adapter().seq[0x09] = 0x21;
    EXPECT_EQ(detect_chip(), 0x101) << "the revision matters only to the 96xx";
    use("trident-9440");
    adapter().seq[0x0B] = 0xC3;
    EXPECT_EQ(detect_chip(), 0);
}

TEST_F(Detection, AnS3ChipOutsideClassEIsNotRecognisedWhateverItsDeviceId) {
    const std::uint8_t ids[][3] = {{0x88, 0x10, 0x00}, {0x88, 0x11, 0x40}, {0x88, 0x90, 0x00},
                                   {0x56, 0x31, 0x00}, {0x89, 0x00, 0x00}, {0x8A, 0x01, 0x01}};
    for (std::uint8_t chip_class : {0xD1, 0xC1, 0x01, 0xF1}) {
        for (const auto& id : ids) {
            use("s3-765");
            adapter().crtc[0x30] = chip_class;
            adapter().crtc[0x2D] = id[0], adapter().crtc[0x2E] = id[1], adapter().crtc[0x2F] = id[2];
            EXPECT_EQ(detect_chip(), 0) << std::hex << int(chip_class) << " " << int(id[0]);
        }
    }
}

TEST_F(Detection, S3MembersByDeviceIdAndRevision) {
    struct Case {
        std::uint8_t high, low, revision;
        std::int32_t chip;
    };
    const Case cases[] = {
        {0x88, 0x11, 0x3F, 0x202}, {0x88, 0x11, 0x50, 0x203}, {0x88, 0x11, 0x5F, 0x203}, {0x88, 0x11, 0x60, 0x202},
        {0x89, 0xFF, 0x00, 0x204}, {0x8A, 0x01, 0x02, 0},     {0x8A, 0x02, 0x01, 0},     {0x56, 0x30, 0x00, 0},
        {0x88, 0x80, 0x00, 0},
    };
    for (const Case& c : cases) {
        use("s3-765");
        adapter().crtc[0x2D] = c.high, adapter().crtc[0x2E] = c.low, adapter().crtc[0x2F] = c.revision;
        EXPECT_EQ(detect_chip(), c.chip) << std::hex << int(c.high) << " " << int(c.low) << " " << int(c.revision);
    }
}

// The identity registers of the three probes that read them, drawn by a
// seed around the values that name a member: the chip each probe answers
// follows the members' documented identities, whatever the other bits.
TEST_F(Detection, ProbesNameTheMemberOfAnyIdentityBytes) {
    const unsigned seed = sim::run_seed();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed) + " (DUO_SEED)");
    auto byte = [&] { return static_cast<std::uint8_t>(random()); };
    // Mostly the value itself, else one bit away from it.
    auto near = [&](std::uint8_t value) { return static_cast<std::uint8_t>(random() % 3 ? value : value ^ (1u << random() % 8)); };

    for (int i = 0; i < 1000; ++i) {
        // Trident: SR0B 0xE3 is the 9440 whatever its revision; 0xD3 the
        // 96xx: the 9685 (0x105) at revision 0x21, the Cyber revisions (0x22,
        // 0x23, 0x2A, 0x3x, 0xB3, 0x4x) refused, the others 0x103.
        const std::uint8_t id = near(random() % 2 ? 0xE3 : 0xD3), revision = byte();
        const bool cyber = revision == 0x22 || revision == 0x23 || revision == 0x2A || (revision & 0xF0) == 0x30 ||
                           revision == 0xB3 || (revision & 0xF0) == 0x40;
        const std::int32_t trident = id == 0xE3   ? 0x101
                                     : id != 0xD3 ? 0
                                     : revision == 0x21 ? 0x105
                                     : cyber            ? 0
                                                        : 0x103;
        use("trident-9680");
        adapter().seq[0x0B] = id;
        adapter().seq[0x09] = revision;
        EXPECT_EQ(detect_chip(), trident) << std::hex << int(id) << " " << int(revision);

        // S3 (class 0xEx): CR2D/CR2E device id, CR2F revision.
        const std::uint8_t highs[] = {0x88, 0x89, 0x56, 0x8A};
        const std::uint8_t lows[] = {0x10, 0x11, 0x90, 0x31, 0x01};
        const std::uint8_t high = near(highs[random() % 4]), low = near(lows[random() % 5]);
        const std::uint8_t s3_revision = random() % 2 ? near(random() % 2 ? 0x40 : 0x01) : byte();
        std::int32_t s3 = 0;
        if (high == 0x88 && low == 0x10) s3 = 0x201;
        if (high == 0x88 && low == 0x11) s3 = (s3_revision & 0xE0) == 0x40 ? 0x203 : 0x202;
        if (high == 0x88 && low == 0x90) s3 = 0x205;
        if (high == 0x56 && low == 0x31) s3 = 0x206;
        if (high == 0x89) s3 = 0x204;
        if (high == 0x8A && low == 0x01 && s3_revision == 0x01) s3 = 0x207;
        use("s3-765");
        adapter().crtc[0x30] = static_cast<std::uint8_t>(0xE0 | (random() & 0x0F));
        adapter().crtc[0x2D] = high, adapter().crtc[0x2E] = low, adapter().crtc[0x2F] = s3_revision;
        EXPECT_EQ(detect_chip(), s3) << std::hex << int(high) << " " << int(low) << " " << int(s3_revision);

        // Cirrus CR27: 0x80-0x9F the 542x, 0xA0-0xBF the 543x except the
        // 544x at 0xB8-0xBB.
        const std::uint8_t cirrus_id = byte();
        const std::int32_t cirrus = cirrus_id >= 0xB8 && cirrus_id <= 0xBB ? 0x303
                                    : cirrus_id >= 0xA0 && cirrus_id <= 0xBF ? 0x302
                                    : cirrus_id >= 0x80 && cirrus_id <= 0x9F ? 0x301
                                                                              : 0;
        use("cirrus-543x");
        adapter().crtc[0x27] = cirrus_id;
        EXPECT_EQ(detect_chip(), cirrus) << std::hex << int(cirrus_id);
    }
}

// The probe unlocks through the ports whatever the desktop left (locked or
// open: the seed decides) and gives every chip its CRTC 0x38/0x39 back.
TEST_F(Detection, TheS3ProbeUnlocksThroughThePortsAndGivesTheLocksBack) {
    for (const std::uint8_t lock : {0x00, 0x48}) {
        use("s3-765");
        adapter().crtc[0x38] = lock;
        adapter().crtc[0x39] = lock ? 0xA5 : 0x00;
        ASSERT_EQ(detect_chip(), 0x203) << sim::lock_state(adapter());
        EXPECT_EQ(adapter().crtc[0x38], lock);
        EXPECT_EQ(adapter().crtc[0x39], lock ? 0xA5 : 0x00);
    }

    // Another chip gets its CRTC 0x38 and 0x39 back.
    use("cirrus-543x");
    adapter().crtc[0x38] = 0x12;
    adapter().crtc[0x39] = 0x34;
    ASSERT_EQ(detect_chip(), 0x302);
    EXPECT_EQ(adapter().crtc[0x38], 0x12);
    EXPECT_EQ(adapter().crtc[0x39], 0x34);
}

TEST_F(Detection, CirrusMembersByChipId) {
    const std::pair<std::uint8_t, std::int32_t> ids[] = {{0xB8, 0x303}, {0xBB, 0x303}, {0xBC, 0x302}, {0xB4, 0x302},
                                                         {0xA0, 0x302}, {0x80, 0x301}, {0x9F, 0x301}, {0xC0, 0},
                                                         {0x7F, 0}};
    for (const auto& [id, chip] : ids) {
        use("cirrus-543x");
        adapter().crtc[0x27] = id;
        EXPECT_EQ(detect_chip(), chip) << std::hex << int(id);
    }
}

TEST_F(Detection, TheAtiProbeStopsAtTheFirstBaseThatAnswers) {
    use("mach64-ct", 0); // at 0x1CC
    adapter().ports[0x1C8 + 27 * 0x400] = 0x54;
    EXPECT_EQ(detect_chip(), 0x401);
    EXPECT_EQ(g_shared.mach64_base_port, 0x1CC);

    use("vga");
    adapter().ports[0x1C8 + 27 * 0x400] = 0x54;
    EXPECT_EQ(detect_chip(), 0x401);
    EXPECT_EQ(g_shared.mach64_base_port, 0x1C8) << "all three bases tried";
}

TEST_F(Detection, Mach32ChipIdLetters) {
    const std::pair<std::uint16_t, std::int32_t> ids[] = {
        {0x17 | 0x12 << 5, 0x402},          // X S
        {0x17 | 0x01 << 5, 0x402},          // X B
        {0xFC00 | 0x17 | 0x01 << 5, 0x402}, // bits 10-15 are not part of the letters
        {0x17 | 0x00 << 5, 0},              // X A
        {0x18 | 0x01 << 5, 0},              // Y B
        {0x01 | 0x17 << 5, 0},              // B X
    };
    for (const auto& [id, chip] : ids) {
        use("vga");
        adapter().ports[0xFAEE] = static_cast<std::uint8_t>(id);
        adapter().ports[0xFAEF] = static_cast<std::uint8_t>(id >> 8);
        EXPECT_EQ(detect_chip(), chip) << std::hex << id;
        EXPECT_EQ(g_shared.mach64_base_port, chip ? 0x2EC : 0x1C8);
    }
}

TEST_F(Detection, TheEt6000BasePortIsRecordedOnlyForTheWholeIdentity) {
    use("et6000-unlisted"); // PCI I/O at 0xD400
    adapter().ports[0xD402] = 0x09;
    EXPECT_EQ(detect_chip(), 0);
    EXPECT_EQ(g_shared.et6000_base_port, 0);

    use("et6000-unlisted");
    adapter().ports[0xD400] = 0x0D;
    EXPECT_EQ(detect_chip(), 0);
    EXPECT_EQ(g_shared.et6000_base_port, 0);

    use("vga");
    adapter().crtc[0x21] = 0x7F;
    const std::uint8_t identity[] = {0x0C, 0x10, 0x08, 0x32};
    std::memcpy(&adapter().ports[0x7F00], identity, sizeof identity);
    EXPECT_EQ(detect_chip(), 0x501);
    EXPECT_EQ(g_shared.et6000_base_port, 0x7F00);
}

TEST_F(Detection, ReadsThatFailYieldNothing) {
    use("s3-765");
    testing::fake().driver_present = false;
    EXPECT_EQ(detect_chip(), 0);
}

} // namespace
} // namespace duo
