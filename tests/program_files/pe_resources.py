"""Reads the resources of a Windows program file (PE32 or PE32+) with the standard library.

    resources(data) -> [Resource(type, name, language, codepage, data), ...]

Types, names and languages are integers, or strings for named entries. Raises
PEFormatError for anything that is not a well-formed program or resource directory;
every offset and count is checked against the data before it is used.
"""
import struct
from collections import namedtuple

Resource = namedtuple("Resource", "type name language codepage data")

RT_VERSION = 16
RT_MANIFEST = 24
RESOURCE_DIRECTORY = 2  # index of the resource table among the data directories


class PEFormatError(Exception):
    pass


def _unpack(fmt, data, offset):
    if offset < 0 or offset + struct.calcsize(fmt) > len(data):
        raise PEFormatError(f"read of {struct.calcsize(fmt)} bytes at {offset:#x} "
                            f"outside the {len(data)} bytes")
    return struct.unpack_from(fmt, data, offset)


class _Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PEFormatError("no MZ header")
        pe, = _unpack("<I", data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PEFormatError("no PE header")
        coff = pe + 4
        sections, optional_size = _unpack("<H12xH", data, coff + 2)
        optional = coff + 20
        magic, = _unpack("<H", data, optional)
        if magic == 0x10B:
            directories_at = optional + 96
        elif magic == 0x20B:
            directories_at = optional + 112
        else:
            raise PEFormatError(f"unknown optional header magic {magic:#x}")
        count, = _unpack("<I", data, directories_at - 4)
        if RESOURCE_DIRECTORY < count and \
                directories_at + 8 * (RESOURCE_DIRECTORY + 1) <= optional + optional_size:
            self.resource_rva, self.resource_size = _unpack(
                "<II", data, directories_at + 8 * RESOURCE_DIRECTORY)
        else:
            self.resource_rva = self.resource_size = 0
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            virtual_size, virtual_address, raw_size, raw_pointer = _unpack(
                "<IIII", data, table + 40 * i + 8)
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer,
                                  raw_size))

    def offset(self, rva, length):
        """The file offset of length bytes at rva, which must lie in one section's file data."""
        for virtual_address, virtual_size, raw_pointer, raw_size in self.sections:
            if virtual_address <= rva and rva + length <= virtual_address + virtual_size:
                if rva + length - virtual_address > raw_size:
                    raise PEFormatError(f"{length} bytes at RVA {rva:#x} are not in the file")
                at = raw_pointer + rva - virtual_address
                if at + length > len(self.data):
                    raise PEFormatError(f"{length} bytes at RVA {rva:#x} lie beyond the file")
                return at
        raise PEFormatError(f"RVA {rva:#x} (+{length}) lies in no section")


def resources(data):
    image = _Image(data)
    if not image.resource_rva:
        return []
    base = image.offset(image.resource_rva, 16)
    limit = image.resource_size
    found = []

    def directory_entries(relative):
        if relative + 16 > limit:
            raise PEFormatError(f"resource directory at {relative:#x} beyond the table")
        named, numbered = _unpack("<HH", data, base + relative + 12)
        for i in range(named + numbered):
            at = relative + 16 + 8 * i
            if at + 8 > limit:
                raise PEFormatError("resource directory entries beyond the table")
            name, target = _unpack("<II", data, base + at)
            yield entry_name(name), target

    def entry_name(value):
        if not value & 0x80000000:
            return value
        at = value & 0x7FFFFFFF
        if at + 2 > limit:
            raise PEFormatError("resource name beyond the table")
        length, = _unpack("<H", data, base + at)
        if at + 2 + 2 * length > limit:
            raise PEFormatError("resource name beyond the table")
        return data[base + at + 2:base + at + 2 + 2 * length].decode("utf-16-le")

    # Three levels: type, name, language; the third leads to the data entries.
    for type_, type_target in directory_entries(0):
        if not type_target & 0x80000000:
            raise PEFormatError("a type entry that is not a directory")
        for name, name_target in directory_entries(type_target & 0x7FFFFFFF):
            if not name_target & 0x80000000:
                raise PEFormatError("a name entry that is not a directory")
            for language, leaf in directory_entries(name_target & 0x7FFFFFFF):
                if leaf & 0x80000000 or leaf + 16 > limit:
                    raise PEFormatError("a language entry that is no data entry")
                rva, size, codepage = _unpack("<III", data, base + leaf)
                at = image.offset(rva, size)
                found.append(Resource(type_, name, language, codepage, data[at:at + size]))
    return found
