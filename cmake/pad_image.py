#!/usr/bin/python3
"""Pads a linked Windows program to an exact length with a section of zeros.

    pad_image.py PROGRAM SIZE

The setup program finds its payload at a length compiled into it; the image must therefore
end exactly there. This adds a read-only data section ".pad" after the last one, so that
the file is SIZE bytes long and its last byte is the end of its last section, and updates
the headers (section count, image size, initialised data size). A program already SIZE bytes
long is left as it is. Fails when the program is longer than SIZE, when the file has data
after its last section, or when the headers have no room for one more section.
"""
import struct
import sys

SECTION_HEADER = 40
CHARACTERISTICS = 0x40000040  # initialised data, readable


def fail(message):
    sys.exit(f"pad_image.py: {message}")


def align(value, alignment):
    return (value + alignment - 1) // alignment * alignment


def main():
    if len(sys.argv) != 3:
        fail("usage: pad_image.py PROGRAM SIZE")
    path, size = sys.argv[1], int(sys.argv[2])
    data = bytearray(open(path, "rb").read())
    if data[:2] != b"MZ":
        fail(f"{path} is not a Windows program")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        fail(f"{path} has no PE header")
    coff = pe + 4
    sections, = struct.unpack_from("<H", data, coff + 2)
    optional_size, = struct.unpack_from("<H", data, coff + 16)
    optional = coff + 20
    section_alignment, file_alignment = struct.unpack_from("<II", data, optional + 32)
    size_of_headers, = struct.unpack_from("<I", data, optional + 60)
    table = optional + optional_size

    last_end = size_of_headers
    last_virtual_end = 0
    first_raw = len(data)
    for i in range(sections):
        header = table + i * SECTION_HEADER
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from(
            "<IIII", data, header + 8)
        if raw_size:
            last_end = max(last_end, raw_pointer + raw_size)
            first_raw = min(first_raw, raw_pointer)
        last_virtual_end = max(last_virtual_end, virtual_address + max(virtual_size, raw_size))

    if len(data) == size:
        return
    if len(data) > size:
        fail(f"the program image is {len(data)} bytes, more than the {size} bytes its payload "
             "offset allows: make it smaller or raise SetupStubSize")
    if last_end != len(data):
        fail(f"{path} has {len(data) - last_end} bytes after its last section")
    new_header = table + sections * SECTION_HEADER
    if new_header + SECTION_HEADER > min(size_of_headers, first_raw):
        fail(f"{path} has no room in its headers for one more section")
    padding = size - len(data)
    if padding % file_alignment:
        fail(f"{size} is not a multiple of the file alignment {file_alignment}")

    virtual_address = align(last_virtual_end, section_alignment)
    struct.pack_into("<8sIIIIIIHHI", data, new_header, b".pad", padding, virtual_address,
                     padding, len(data), 0, 0, 0, 0, CHARACTERISTICS)
    struct.pack_into("<H", data, coff + 2, sections + 1)
    struct.pack_into("<I", data, optional + 56, align(virtual_address + padding,
                                                      section_alignment))
    initialised, = struct.unpack_from("<I", data, optional + 8)
    struct.pack_into("<I", data, optional + 8, initialised + padding)
    data += bytes(padding)
    with open(path, "wb") as file:
        file.write(data)


if __name__ == "__main__":
    main()
