#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/.

Settings files are for chip 0x203 at 800x600, as the settings fuzzer runs;
they are packed here field by field, independently of the library's code.
"""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
MAGIC = 0x12345678


def header(chip=0x203, width=800, height=600, reserved=b"\0" * 128, magic_order="<"):
    return struct.pack(magic_order + "I", MAGIC) + struct.pack("<HHH", chip, width, height) + reserved


def table(default_frequency, status, blocks):
    # Default frequency index, 20 status entries, 20 timing blocks of 100 bytes.
    return struct.pack("<i20i", default_frequency, *status) + b"".join(blocks)


def tables():
    # Entries 10-19 carry no meaning: here they tell the three tables apart.
    # The 640x480 8-bit CRTC bytes of chips 0x202-0x205 and their extension bytes at 60-62.
    crtc = bytes.fromhex("5F4F5082548040150040000000" "00FF00070CEF5040F33EA3FF")
    block = crtc + bytes(35) + bytes.fromhex("4A0000") + bytes(37)
    assert len(block) == 100
    return b"".join(
        table(5, [1] * 10 + [c] * 10, [block] * 20) for c in range(3)
    )


def write(target, name, data):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def call(op, arg):
    """One call of core_exports_fuzzer: an operation and a 32-bit argument."""
    return bytes([op]) + struct.pack("<i", arg)


# A stereo session: Init, Enable (default), eye swap, 120 Hz, line-double
# on, Resume, line-double off, Disable, Close.
CYCLE = (call(0, 0) + call(2, 20) + call(5, 0) + call(6, 9) + call(7, 501 << 1) + call(4, 0) + call(7, 502 << 1)
         + call(3, 0) + call(1, 0))


def main():
    valid = header() + tables()
    assert len(valid) == 6390
    s = "settings_file_fuzzer"
    write(s, "valid.ini", valid)
    write(s, "header_only.ini", header())
    write(s, "swapped_magic.ini", header(magic_order=">") + tables())
    write(s, "other_resolution.ini", header(width=640, height=480) + tables())
    write(s, "reserved_and_tail.ini", header(reserved=b"\xff" * 128) + tables() + b"tail" * 8)

    k = "hardware_key_fuzzer"
    write(k, "s3_868", b"PCI\\VEN_5333&DEV_8880&SUBSYS_00000000&REV_00\\BUS_00&DEV_0A&FUNC_00")
    write(k, "cirrus_lower_case", b"PCI\\VEN_1013&DEV_00d6")
    write(k, "listed_without_chip", b"PCI\\VEN_1023&DEV_9440")
    write(k, "cut_short", b"PCI\\VEN_100C&DEV_32")
    write(k, "not_pci", b"ISAPNP\\READDATAPORT\\0")

    t = "bitmap_text_fuzzer"
    write(t, "frequencies", b"75 Hz 80 Hz 120 Hz")
    write(t, "captions", b"OK Cancel Default Test Test all Abort Set default Close")
    write(t, "outside_the_sheet", bytes(range(0, 256)))

    # First byte: 0 command line, 1 position file, 2 bitmap text.
    u = "tool_input_fuzzer"
    write(u, "switches", b"\x00/E /F:100 /H")
    write(u, "switches_lower_case_and_junk", b"\x00/e/f:85 /F: /F:99999999999 /h extra")
    write(u, "position_two_rows", b"\x01" + struct.pack("<5i", 1021, 10, 20, 240, 106))
    write(u, "position_damaged_layout", b"\x01" + struct.pack("<5i", 7, -5, 0, 0, 0))
    write(u, "position_short", b"\x01\xfd\x03")
    write(u, "information_text", b"\x02Vertical Frequency: 100Hz  S3 765  Version 1.0")

    # Adapter index in the simulator's catalog, desktop mode index, no file.
    c = "core_exports_fuzzer"
    for name, adapter in (("s3_cycle", 6), ("trident_cycle", 2), ("cirrus_cycle", 15), ("mach64_cycle", 18),
                          ("et6000_cycle", 22)):
        write(c, name, bytes([adapter, 4, 0, 0]) + CYCLE)
    write(c, "damaged_default", bytes([6, 3, 0, 0]) + call(0, 0) + call(10, 42) + call(2, 20) + call(6, 20)
          + call(7, 501 << 1) + call(7, (502 << 1) | 1) + call(1, 0))


if __name__ == "__main__":
    main()
