#!/usr/bin/python3
"""Gives a compiled help file made by chmcmd fixed compile times, so that every build of the
help gives the same bytes.

chmcmd stores the time of day of the compilation (in milliseconds) in two places: the ITSF
header (big-endian, at offset 0x10) and the #SYSTEM file's record 10 (little-endian). Both
are only informative. This script finds #SYSTEM through the file's directory and overwrites
both values in place; the file's size and every other byte stay as they are. The time
written is 0, or the time of day of SOURCE_DATE_EPOCH when that is set.

Usage: fix_chm_time.py FILE.chm
"""
import os
import struct
import sys


class ChmError(Exception):
    pass


def read_encint(data, pos, end):
    """A variable-length integer of the CHM directory: 7 bits a byte, high bit continues."""
    value = 0
    while True:
        if pos >= end:
            raise ChmError("directory entry runs past its chunk")
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def find_section0_file(data, wanted):
    """The (file offset, length) of a file stored uncompressed in section 0."""
    if len(data) < 0x60 or data[0:4] != b"ITSF":
        raise ChmError("not a compiled help file (no ITSF header)")
    version, header_length = struct.unpack_from("<II", data, 4)
    if version != 3 or header_length < 0x60:
        raise ChmError(f"ITSF version {version}, header length {header_length}: not handled")
    directory_offset, directory_length = struct.unpack_from("<QQ", data, 0x48)
    (content_offset,) = struct.unpack_from("<Q", data, 0x58)
    if directory_offset + directory_length > len(data) or content_offset > len(data):
        raise ChmError("directory or content past the end of the file")
    if data[directory_offset:directory_offset + 4] != b"ITSP":
        raise ChmError("no ITSP directory header")
    itsp_length, = struct.unpack_from("<I", data, directory_offset + 8)
    chunk_size, = struct.unpack_from("<I", data, directory_offset + 0x10)
    chunk_count, = struct.unpack_from("<I", data, directory_offset + 0x2C)
    if chunk_size < 0x14:
        raise ChmError(f"directory chunk size {chunk_size}")
    chunks = directory_offset + itsp_length
    if chunks + chunk_count * chunk_size > directory_offset + directory_length:
        raise ChmError("directory chunks past the directory's end")
    for index in range(chunk_count):
        start = chunks + index * chunk_size
        if data[start:start + 4] != b"PMGL":
            continue  # an index chunk (PMGI): the listing chunks hold every entry
        free_space, = struct.unpack_from("<I", data, start + 4)
        if free_space > chunk_size - 0x14:
            raise ChmError("listing chunk with a wrong free-space length")
        pos = start + 0x14
        end = start + chunk_size - free_space
        while pos < end:
            name_length, pos = read_encint(data, pos, end)
            if pos + name_length > end:
                raise ChmError("entry name runs past its chunk")
            name = data[pos:pos + name_length]
            pos += name_length
            section, pos = read_encint(data, pos, end)
            offset, pos = read_encint(data, pos, end)
            length, pos = read_encint(data, pos, end)
            if name == wanted:
                if section != 0:
                    raise ChmError(f"{wanted!r} is compressed (section {section})")
                if content_offset + offset + length > len(data):
                    raise ChmError(f"{wanted!r} past the end of the file")
                return content_offset + offset, length
    raise ChmError(f"no {wanted!r} in the directory")


def fix_times(data, milliseconds):
    struct.pack_into(">I", data, 0x10, milliseconds)
    start, length = find_section0_file(data, b"/#SYSTEM")
    pos, end = start + 4, start + length  # after the #SYSTEM version
    found = False
    while pos + 4 <= end:
        code, size = struct.unpack_from("<HH", data, pos)
        if pos + 4 + size > end:
            raise ChmError("#SYSTEM record runs past the file")
        if code == 10:
            if size != 4:
                raise ChmError(f"#SYSTEM time record of {size} bytes")
            struct.pack_into("<I", data, pos + 4, milliseconds)
            found = True
        pos += 4 + size
    if not found:
        raise ChmError("#SYSTEM has no time record")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    path = sys.argv[1]
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    milliseconds = (int(epoch) % 86400) * 1000 if epoch else 0
    with open(path, "rb") as f:
        data = bytearray(f.read())
    try:
        fix_times(data, milliseconds)
    except ChmError as error:
        sys.exit(f"{path}: {error}")
    with open(path, "r+b") as f:
        f.write(data)


if __name__ == "__main__":
    main()
