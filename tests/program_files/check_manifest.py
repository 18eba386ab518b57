#!/usr/bin/python3
"""Checks the application manifest of the setup program as it lies in the built files.

    check_manifest.py --stub-size N [--uninstaller-of SETUP]... [FILE...]
    check_manifest.py --expect-none FILE...

Each FILE must carry exactly one manifest resource (RT_MANIFEST, id 1) that parses as XML
and asks for: execution level requireAdministrator without UI access; the five supportedOS
entries from Windows Vista to Windows 10 and 11; no DPI awareness (dpiAware false, and
dpiAwareness unaware where it is given); no dependency on another assembly (such as the
common controls 6, which would change the standard controls' look). For --uninstaller-of
the same holds for the first N bytes of SETUP, the copy an install writes as
uninstall.exe. With --expect-none, each FILE must have no manifest resource at all (the
reader's control: it can tell a program without one).

Prints what it found wrong and exits with 1, or prints "ok" lines and exits with 0.
"""
import argparse
import os
import sys
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_resources import PEFormatError, RT_MANIFEST, resources  # noqa: E402

ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"

SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


def manifests(label, data):
    """The manifest resources of a program's bytes, or None after a message."""
    try:
        return [r for r in resources(data) if r.type == RT_MANIFEST]
    except PEFormatError as error:
        print(f"FAIL: {label}: {error}")
        return None


def problems_of(manifest):
    """What is wrong with one manifest resource, as a list of messages."""
    problems = []
    if manifest.name != 1:
        problems.append(f"the manifest is resource {manifest.name!r}, not 1")
    try:
        root = ElementTree.fromstring(manifest.data)
    except ElementTree.ParseError as error:
        return problems + [f"the manifest is no XML: {error}"]
    if root.tag != ASM_V1 + "assembly" or root.get("manifestVersion") != "1.0":
        problems.append(f"the root is {root.tag} (manifestVersion "
                        f"{root.get('manifestVersion')}), not an assembly 1.0")

    levels = root.findall(f"./{ASM_V3}trustInfo/{ASM_V3}security/{ASM_V3}requestedPrivileges/"
                          f"{ASM_V3}requestedExecutionLevel")
    if len(levels) != 1:
        problems.append(f"{len(levels)} requestedExecutionLevel elements, not 1")
    else:
        if levels[0].get("level") != "requireAdministrator":
            problems.append(f"execution level {levels[0].get('level')!r}")
        if (levels[0].get("uiAccess") or "").lower() != "false":
            problems.append(f"uiAccess {levels[0].get('uiAccess')!r}")

    ids = [os_.get("Id", "").lower() for os_ in
           root.findall(f"./{COMPATIBILITY}compatibility/{COMPATIBILITY}application/"
                        f"{COMPATIBILITY}supportedOS")]
    if sorted(ids) != sorted(SUPPORTED_OS):
        missing = [SUPPORTED_OS[i] for i in SUPPORTED_OS if i not in ids]
        extra = [i for i in ids if i not in SUPPORTED_OS]
        problems.append(f"supportedOS missing {missing}, unknown or repeated "
                        f"{extra or [i for i in set(ids) if ids.count(i) > 1]}")

    settings = root.findall(f"./{ASM_V3}application/{ASM_V3}windowsSettings")
    aware = [e.text for s in settings for e in s.findall(SETTINGS_2005 + "dpiAware")]
    if [(t or "").strip().lower() for t in aware] != ["false"]:
        problems.append(f"dpiAware {aware}, not one 'false'")
    awareness = [e.text for s in settings for e in s.findall(SETTINGS_2016 + "dpiAwareness")]
    if any((t or "").strip().lower() != "unaware" for t in awareness):
        problems.append(f"dpiAwareness {awareness}")

    dependencies = root.findall(f".//{ASM_V1}dependentAssembly/{ASM_V1}assemblyIdentity")
    if dependencies:
        problems.append("depends on " + ", ".join(d.get("name", "?") for d in dependencies))
    return problems


def check(label, data):
    found = manifests(label, data)
    if found is None:
        return False
    if len(found) != 1:
        print(f"FAIL: {label}: {len(found)} manifest resources, not 1")
        return False
    problems = problems_of(found[0])
    for problem in problems:
        print(f"FAIL: {label}: {problem}")
    if not problems:
        print(f"ok: {label}: manifest {found[0].name}, {len(found[0].data)} bytes")
    return not problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--stub-size", type=int)
    parser.add_argument("--uninstaller-of", action="append", default=[])
    parser.add_argument("--expect-none", action="store_true")
    parser.add_argument("files", nargs="*")
    args = parser.parse_args()
    if not args.files and not args.uninstaller_of:
        parser.error("no files to check")
    if args.uninstaller_of and not args.stub_size:
        parser.error("--uninstaller-of needs --stub-size")

    passed = True
    for path in args.files:
        with open(path, "rb") as file:
            data = file.read()
        if args.expect_none:
            found = manifests(path, data)
            if found is None or found:
                if found:
                    print(f"FAIL: {path}: has {len(found)} manifest resources")
                passed = False
            else:
                print(f"ok: {path}: no manifest resource")
        else:
            passed &= check(path, data)
    for path in args.uninstaller_of:
        with open(path, "rb") as file:
            data = file.read(args.stub_size)
        if len(data) != args.stub_size:
            print(f"FAIL: {path} is {len(data)} bytes, shorter than its program image")
            passed = False
            continue
        passed &= check(f"{path}, its first {args.stub_size} bytes", data)
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
