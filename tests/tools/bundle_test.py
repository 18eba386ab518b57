#!/usr/bin/python3
"""Tests of kalvo_bundle: a setup file made from a stub and six files is the stub followed by
six chunks that zlib (Python's own, an independent reader) inflates back to the files; making
it again gives the same bytes; list reports each chunk and fails on damage.

    bundle_test.py KALVO_BUNDLE STUB_SIZE
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

bundle, stub_size = sys.argv[1], int(sys.argv[2])
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*args):
    return subprocess.run([bundle, *args], capture_output=True, text=True)


with tempfile.TemporaryDirectory() as folder:
    def path(name):
        return os.path.join(folder, name)

    stub = bytes((i * 7 + i // 251) & 0xFF for i in range(stub_size))
    files = [b"MZ" + bytes(range(256)) * 300, b"ITSF" + b"help " * 999, b"",
             b"[Network]\r\nPort=4662\r\n", bytes(1024 * 64), os.urandom(400_000)]
    with open(path("stub"), "wb") as out:
        out.write(stub)
    for index, content in enumerate(files):
        with open(path(f"f{index}"), "wb") as out:
            out.write(content)
    inputs = [path("stub")] + [path(f"f{i}") for i in range(6)]
    made = [run("make", *inputs, path(name)) for name in ("a.exe", "b.exe")]
    check(all(m.returncode == 0 for m in made), f"make failed: {[m.stderr for m in made]}")
    setup = open(path("a.exe"), "rb").read()
    check(setup == open(path("b.exe"), "rb").read(), "making the file again gave other bytes")
    check(setup[:stub_size] == stub, "the setup file does not start with the stub")

    at = stub_size
    for index, content in enumerate(files):
        length, = struct.unpack_from("<i", setup, at)
        stream = setup[at + 4:at + 4 + length]
        check(stream[:2] == b"\x78\xda", f"chunk {index} is not at the highest level: {stream[:2]!r}")
        check(zlib.decompress(stream) == content, f"chunk {index} does not inflate to its file")
        at += 4 + length
    check(at == len(setup), f"{len(setup) - at} bytes after the six chunks")

    listed = run("list", path("a.exe"), str(stub_size))
    lines = listed.stdout.splitlines()
    check(listed.returncode == 0, f"list failed: {listed.stdout}{listed.stderr}")
    for index, content in enumerate(files):
        check(any(line.startswith(f"chunk {index} ") and line.endswith(f", {len(content)} bytes")
                  for line in lines), f"list does not give chunk {index}: {lines}")
    check(lines[-1] == "the payload ends at the end of the file", f"list ends with {lines[-1]!r}")

    # A payload too small for a full setup file: refused, and no file is left.
    small = run("make", path("stub"), *[path("f2")] * 6, path("small.exe"))
    check(small.returncode == 1 and "uninstaller copy" in small.stderr and
          not os.path.exists(path("small.exe")), f"a small setup file was made: {small.stderr}")

    damaged = bytearray(setup)
    damaged[stub_size + 4 + 40] ^= 0xFF
    with open(path("damaged.exe"), "wb") as out:
        out.write(damaged)
    listed = run("list", path("damaged.exe"), str(stub_size))
    check(listed.returncode == 1 and "damaged" in listed.stdout,
          f"a damaged chunk passed: {listed.stdout}")
    with open(path("longer.exe"), "wb") as out:
        out.write(setup + b"extra")
    listed = run("list", path("longer.exe"), str(stub_size))
    check(listed.returncode == 1 and "5 bytes after the last chunk" in listed.stdout,
          f"bytes after the payload passed: {listed.stdout}")
    listed = run("list", path("stub"), str(stub_size))
    check(listed.returncode == 0 and "uninstaller copy" in listed.stdout,
          f"the stub alone: {listed.stdout}")

for failure in failures:
    print("FAILED", failure)
print("bundle test:", "failed" if failures else "passed")
sys.exit(1 if failures else 0)
