#!/usr/bin/python3
"""Checks of the demo payload on the build machine.

    check_payload.py layout --objdump OBJDUMP --folder DIR FILE...
        the six files in chunk order, no others in the folder; the programs import only
        system libraries and the library exports KalvoNetworkStatus undecorated
    check_payload.py avi FILE.avi
        the video's RIFF structure, read here independently of the tool that writes it
    check_payload.py chm FILE.chm HELP_SOURCE_DIR
        chmls lists the pages; the pages it extracts are the sources; #SYSTEM names the
        title, the contents and the default page
    check_payload.py ini LANGUAGE.lcf SETTINGS.uri
        ASCII, CR LF line ends, sections and values a client can use
    check_payload.py reproducible --folder DIR --sources ROOT
        the video and the help, made again twice in other folders, are the same bytes

Each check prints what it found wrong and exits with 1, or prints "ok" and exits with 0.
"""
import argparse
import configparser
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def expect(condition, message):
    if not condition:
        fail(message)
    return condition


# ---------------------------------------------------------------------------------- layout

CHUNK_NAMES = ["kalvo.exe", "help.chm", "kalvo.lcf", "kalvo.uri", "media/media1.avi", "kalvo.dll"]

# Libraries every Windows installation has; the payload's programs may import these only.
SYSTEM_LIBRARIES = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll",
    "comctl32.dll", "comdlg32.dll", "ole32.dll", "oleaut32.dll", "ntdll.dll", "version.dll",
    "ws2_32.dll", "shlwapi.dll",
}


def objdump(tool, path):
    result = subprocess.run([tool, "-p", path], capture_output=True, text=True)
    if result.returncode != 0:
        fail(f"{tool} -p {path}: {result.stderr.strip()}")
        return ""
    return result.stdout


def imports(dump):
    return [name.lower() for name in re.findall(r"^\s*DLL Name: (\S+)", dump, re.M)]


def exports(dump):
    names = []
    in_table = False
    for line in dump.splitlines():
        if "[Ordinal/Name Pointer] Table" in line:
            in_table = True
            continue
        if in_table:
            match = re.match(r"^\s*\[\s*\d+\]\s+(\S+)\s*$", line)
            if not match:
                break
            names.append(match.group(1))
    return names


def check_layout(args):
    folder = os.path.realpath(args.folder)
    expect(len(args.files) == 6, f"{len(args.files)} payload files listed, not 6: {args.files}")
    for index, (path, name) in enumerate(zip(args.files, CHUNK_NAMES)):
        expected = os.path.join(folder, name)
        expect(os.path.realpath(path) == expected, f"chunk {index} is {path}, not {expected}")
        expect(os.path.isfile(path) and os.path.getsize(path) > 0,
               f"chunk {index}: {path} is missing or empty")
    # The folder is also CMake's build folder for payload/: besides the six files it may
    # hold CMake's own files, and nothing else.
    present = []
    for root, folders, files in os.walk(folder):
        if root == folder and "CMakeFiles" in folders:
            folders.remove("CMakeFiles")
        present += [os.path.relpath(os.path.join(root, f), folder).replace(os.sep, "/")
                    for f in files]
    cmake_files = {"CTestTestfile.cmake", "cmake_install.cmake"}
    others = sorted(set(present) - set(CHUNK_NAMES) - cmake_files)
    expect(not others, f"the payload folder holds other files too: {others}")

    for name in ("kalvo.exe", "kalvo.dll"):
        dump = objdump(args.objdump, os.path.join(folder, name))
        found = imports(dump)
        expect(found, f"{name}: no imports found in objdump's output")
        foreign = [library for library in found if library not in SYSTEM_LIBRARIES]
        expect(not foreign, f"{name} imports libraries that are not the system's: {foreign}")
        if name == "kalvo.exe":
            expect(re.search(r"^Subsystem\s+0+2\b", dump, re.M),
                   "kalvo.exe is not a Windows GUI program")
            expect("kalvo.dll" not in found, "kalvo.exe imports kalvo.dll: it must load it")
        else:
            expect(re.search(r"^\s+DLL\s*$", dump, re.M), "kalvo.dll is not a DLL")
            names = exports(dump)
            expect("KalvoNetworkStatus" in names,
                   f"kalvo.dll does not export KalvoNetworkStatus undecorated: {names}")


# ------------------------------------------------------------------------------------- avi

def read_chunks(data, start, end, where):
    """The chunks between start and end: (fourcc, data start, data size, list type)."""
    chunks = []
    pos = start
    while pos < end:
        if pos + 8 > end:
            fail(f"{where}: {end - pos} stray bytes at {pos}")
            break
        fourcc = data[pos:pos + 4]
        (size,) = struct.unpack_from("<I", data, pos + 4)
        body = pos + 8
        if body + size > end:
            fail(f"{where}: chunk {fourcc!r} at {pos} of {size} bytes runs past its parent "
                 f"(ends at {end})")
            break
        kind = data[body:body + 4] if fourcc in (b"RIFF", b"LIST") else None
        chunks.append((fourcc, body, size, kind))
        pos = body + size + (size & 1)
    if pos > end and pos != end + 1:
        fail(f"{where}: the last chunk's padding runs past its parent")
    return chunks


def find(chunks, fourcc, kind=None):
    return [c for c in chunks if c[0] == fourcc and (kind is None or c[3] == kind)]


def check_avi(args):
    with open(args.file, "rb") as f:
        data = f.read()
    if not expect(len(data) >= 12 and data[:4] == b"RIFF" and data[8:12] == b"AVI ",
                  "not a RIFF 'AVI ' file"):
        return
    (riff_size,) = struct.unpack_from("<I", data, 4)
    expect(riff_size + 8 == len(data),
           f"RIFF size {riff_size} + 8 is not the file's size {len(data)}")
    top = read_chunks(data, 12, min(len(data), 8 + riff_size), "RIFF")
    hdrl = find(top, b"LIST", b"hdrl")
    movi = find(top, b"LIST", b"movi")
    idx1 = find(top, b"idx1")
    if not (expect(len(hdrl) == 1, "not one LIST 'hdrl'") and
            expect(len(movi) == 1, "not one LIST 'movi'") and
            expect(len(idx1) == 1, "not one 'idx1'")):
        return
    expect(top[0][3] == b"hdrl", "the header list does not come first")

    header = read_chunks(data, hdrl[0][1] + 4, hdrl[0][1] + hdrl[0][2], "hdrl")
    avih = find(header, b"avih")
    strl = find(header, b"LIST", b"strl")
    if not (expect(len(avih) == 1 and avih[0][2] == 56, "no 56-byte 'avih'") and
            expect(len(strl) == 1, f"{len(strl)} stream lists, not 1")):
        return
    (usec_per_frame, _, _, flags, total_frames, _, streams, _, width, height) = \
        struct.unpack_from("<10I", data, avih[0][1])
    expect(usec_per_frame == 100000, f"{usec_per_frame} microseconds per frame, not 100000")
    expect(flags & 0x10, "avih does not say the file has an index (AVIF_HASINDEX)")
    expect(streams == 1, f"avih says {streams} streams")
    expect((width, height) == (64, 48), f"avih says {width} x {height}")
    expect(total_frames == 10, f"avih says {total_frames} frames, not 10")

    stream = read_chunks(data, strl[0][1] + 4, strl[0][1] + strl[0][2], "strl")
    strh = find(stream, b"strh")
    strf = find(stream, b"strf")
    if not (expect(len(strh) == 1 and strh[0][2] >= 48, "no 'strh'") and
            expect(len(strf) == 1 and strf[0][2] >= 40, "no 'strf' with a BITMAPINFOHEADER")):
        return
    fcc_type, _handler, _, _, _, _, scale, rate, start, length = \
        struct.unpack_from("<4s4sIHHIIIII", data, strh[0][1])
    expect(fcc_type == b"vids", f"stream type {fcc_type!r}, not 'vids'")
    expect(scale and rate == 10 * scale, f"rate {rate} / scale {scale} is not 10 per second")
    expect(start == 0 and length == total_frames,
           f"strh: start {start}, length {length}; avih: {total_frames} frames")
    (bi_size, bi_width, bi_height, planes, bits, compression, image_size) = \
        struct.unpack_from("<IiiHHII", data, strf[0][1])
    expect(bi_size == 40, f"biSize {bi_size}")
    expect((bi_width, bi_height, planes, bits) == (64, 48, 1, 24),
           f"strf: {bi_width} x {bi_height}, {planes} planes, {bits} bits")
    expect(compression == 0, f"biCompression {compression}, not BI_RGB")
    row = (bi_width * bits // 8 + 3) & ~3
    frame_size = row * abs(bi_height)
    expect(image_size in (0, frame_size), f"biSizeImage {image_size}, not {frame_size}")

    movi_start = movi[0][1]  # the 'movi' identifier: idx1's offsets count from it
    frames = read_chunks(data, movi_start + 4, movi_start + movi[0][2], "movi")
    names = {c[0] for c in frames}
    expect(names == {b"00db"}, f"movi holds {sorted(names)}, not only '00db'")
    expect(len(frames) == total_frames,
           f"{len(frames)} '00db' chunks, avih says {total_frames} frames")
    for number, frame in enumerate(frames):
        expect(frame[2] == frame_size, f"frame {number}: {frame[2]} bytes, not {frame_size}")

    index_size = idx1[0][2]
    expect(index_size % 16 == 0, f"idx1 of {index_size} bytes is not whole entries")
    entries = [struct.unpack_from("<4sIII", data, idx1[0][1] + i)
               for i in range(0, index_size - index_size % 16, 16)]
    expect(len(entries) == total_frames,
           f"{len(entries)} idx1 entries, avih says {total_frames} frames")
    for number, (entry, frame) in enumerate(zip(entries, frames)):
        fourcc, entry_flags, offset, size = entry
        expect(fourcc == b"00db", f"idx1 entry {number} is {fourcc!r}")
        expect(entry_flags & 0x10, f"idx1 entry {number} is not a key frame")
        expect(movi_start + offset == frame[1] - 8,
               f"idx1 entry {number} points at {movi_start + offset}, the chunk is at "
               f"{frame[1] - 8}")
        expect(size == frame[2], f"idx1 entry {number}: size {size}, chunk {frame[2]}")

    # The pixels: the palette's background in a corner, the accent in the progress bar,
    # and a picture that changes from frame to frame.
    def pixel(frame, x, y_from_top):
        at = frame[1] + (bi_height - 1 - y_from_top) * row + x * 3
        blue, green, red = data[at:at + 3]
        return red, green, blue

    for number, frame in enumerate(frames):
        expect(pixel(frame, 0, 0) == (221, 236, 248), f"frame {number}: corner is "
               f"{pixel(frame, 0, 0)}, not the background")
        expect(pixel(frame, 4, 37) == (52, 96, 150), f"frame {number}: bar start is "
               f"{pixel(frame, 4, 37)}, not the accent")
    contents = {data[f[1]:f[1] + f[2]] for f in frames}
    expect(len(contents) == len(frames), "some frames are the same picture")


# ------------------------------------------------------------------------------------- chm

HELP_PAGES = ["welcome.html", "getting_started.html", "sharing_folders.html", "downloads.html"]
HELP_FILES = HELP_PAGES + ["toc.hhc", "index.hhk", "kalvo.css"]


def chmls(*arguments):
    return subprocess.run(["chmls", *arguments], capture_output=True)


def check_chm(args):
    with open(args.file, "rb") as f:
        head = f.read(4)
    expect(head == b"ITSF", f"{args.file} does not start with ITSF")
    listing = chmls("--no-page", "-n", "list", args.file)
    if not expect(listing.returncode == 0, f"chmls list failed: {listing.stderr!r}"):
        return
    names = set(listing.stdout.decode("latin-1").split())
    for name in HELP_FILES + ["#SYSTEM"]:
        expect("/" + name in names, f"chmls does not list /{name}")

    with tempfile.TemporaryDirectory() as work:
        for name in HELP_FILES + ["#SYSTEM"]:
            target = os.path.join(work, name.replace("#", "_"))
            result = chmls("extract", args.file, "/" + name, target)
            if not expect(result.returncode == 0 and os.path.isfile(target),
                          f"chmls cannot extract /{name}: {result.stderr!r}"):
                continue
            if name == "#SYSTEM":
                check_system_file(target)
                continue
            with open(target, "rb") as extracted, \
                    open(os.path.join(args.sources, name), "rb") as source:
                expect(extracted.read() == source.read(),
                       f"/{name} in the help is not the source file")


def check_system_file(path):
    with open(path, "rb") as f:
        data = f.read()
    records = {}
    pos = 4
    while pos + 4 <= len(data):
        code, size = struct.unpack_from("<HH", data, pos)
        records[code] = data[pos + 4:pos + 4 + size]
        pos += 4 + size
    expect(pos == len(data), "#SYSTEM's records do not end with the file")

    def text(code):
        return records.get(code, b"").split(b"\0")[0].decode("latin-1")

    expect(text(0) == "toc.hhc", f"#SYSTEM contents file {text(0)!r}")
    expect(text(1) == "index.hhk", f"#SYSTEM index file {text(1)!r}")
    expect(text(2) == "welcome.html", f"#SYSTEM default topic {text(2)!r}")
    expect(text(3) == "Kalvo.Net Help", f"#SYSTEM title {text(3)!r}")
    if 4 in records and len(records[4]) >= 4:
        (lcid,) = struct.unpack_from("<I", records[4], 0)
        expect(lcid == 0x0409, f"#SYSTEM language {lcid:#06x}, not 0x0409")
    else:
        fail("#SYSTEM has no language record")


# ------------------------------------------------------------------------------------- ini

def check_ini_text(path):
    with open(path, "rb") as f:
        data = f.read()
    expect(all(byte < 0x80 for byte in data), f"{path} is not ASCII")
    expect(data.endswith(b"\r\n"), f"{path} does not end with CR LF")
    expect(data.count(b"\n") == data.count(b"\r\n") and data.count(b"\r") == data.count(b"\r\n"),
           f"{path} has line ends other than CR LF")
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str  # keys keep their case, as the client reads them
    try:
        parser.read_string(data.decode("ascii", "replace"), source=path)
    except configparser.Error as error:
        fail(f"{path}: {error}")
    return parser


def integer(parser, section, key, low, high):
    value = parser.get(section, key, fallback=None)
    if not expect(value is not None and re.fullmatch(r"\d+", value),
                  f"[{section}] {key} = {value!r} is not a number"):
        return
    expect(low <= int(value) <= high, f"[{section}] {key} = {value} is not in {low}..{high}")


def check_ini(args):
    language = check_ini_text(args.language)
    expect(language.get("Language", "Name", fallback="") == "English", "[Language] Name")
    expect(language.get("Language", "Code", fallback="") == "en", "[Language] Code")
    strings = language["Strings"] if language.has_section("Strings") else {}
    expect(len(strings) >= 12, f"[Strings] has {len(strings)} texts, fewer than 12")
    expect(all(value.strip() for value in strings.values()), "[Strings] has empty texts")
    expect(strings.get("Title") == "Kalvo.Net - peer-to-peer file sharing",
           "[Strings] Title is not the client's window title")

    settings = check_ini_text(args.settings)
    for section in ("Network", "Folders", "Limits", "Interface"):
        expect(settings.has_section(section), f"{args.settings} has no [{section}]")
    integer(settings, "Network", "Port", 1, 65535)
    integer(settings, "Network", "MaxConnections", 1, 10000)
    for key in ("Downloads", "Incomplete", "Shared"):
        value = settings.get("Folders", key, fallback="")
        expect(value and not re.match(r"^([A-Za-z]:|[\\/])", value) and ".." not in value,
               f"[Folders] {key} = {value!r} is not a folder name relative to the program")
    for key in ("MaxDownloadRate", "MaxUploadRate", "MaxUploadSlots", "MaxActiveDownloads"):
        integer(settings, "Limits", key, 0, 1_000_000)
    expect(settings.get("Interface", "Language", fallback="") == "kalvo.lcf",
           "[Interface] Language is not the payload's language file")
    expect(settings.get("Interface", "Help", fallback="") == "help.chm",
           "[Interface] Help is not the payload's help file")


# ---------------------------------------------------------------------------- reproducible

def same_file(a, b):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        return fa.read() == fb.read()


def compile_help(sources, work):
    os.makedirs(work)
    for name in HELP_FILES + ["kalvo.hhp"]:
        shutil.copy(os.path.join(sources, "payload", "help", name), work)
    subprocess.run(["chmcmd", "--no-html-scan", "kalvo.hhp"], cwd=work, check=True,
                   capture_output=True)
    subprocess.run([sys.executable, os.path.join(sources, "payload", "help", "fix_chm_time.py"),
                    "help.chm"], cwd=work, check=True)
    return os.path.join(work, "help.chm")


def check_reproducible(args):
    with tempfile.TemporaryDirectory() as work:
        videos = []
        for run in ("first", "second run"):
            target = os.path.join(work, run, "media1.avi")
            subprocess.run([sys.executable,
                            os.path.join(args.sources, "tools", "make_demo_avi.py"), target],
                           check=True)
            videos.append(target)
        built = os.path.join(args.folder, "media", "media1.avi")
        expect(same_file(videos[0], videos[1]), "two runs of make_demo_avi.py differ")
        expect(same_file(videos[0], built), "the built media1.avi is not what the tool writes")

        helps = [compile_help(args.sources, os.path.join(work, "help-a")),
                 compile_help(args.sources, os.path.join(work, "help b", "deeper"))]
        built = os.path.join(args.folder, "help.chm")
        expect(same_file(helps[0], helps[1]), "two compilations of the help differ")
        expect(same_file(helps[0], built), "the built help.chm is not what chmcmd makes")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    layout = commands.add_parser("layout")
    layout.add_argument("--objdump", required=True)
    layout.add_argument("--folder", required=True)
    layout.add_argument("files", nargs="*")
    avi = commands.add_parser("avi")
    avi.add_argument("file")
    chm = commands.add_parser("chm")
    chm.add_argument("file")
    chm.add_argument("sources")
    ini = commands.add_parser("ini")
    ini.add_argument("language")
    ini.add_argument("settings")
    reproducible = commands.add_parser("reproducible")
    reproducible.add_argument("--folder", required=True)
    reproducible.add_argument("--sources", required=True)
    args = parser.parse_args()
    for name in ("folder", "sources"):
        if getattr(args, name, None):
            setattr(args, name, os.path.abspath(getattr(args, name)))

    {"layout": check_layout, "avi": check_avi, "chm": check_chm, "ini": check_ini,
     "reproducible": check_reproducible}[args.command](args)
    if failures:
        print(f"{len(failures)} problem(s) found")
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
