"""skin-paint gradient: the painter's pixels through the tool and its BMP file, read back with
PIL, against the gradient formulas; and one clear line with exit code 1 for bad input."""
import os
import subprocess
import sys

from PIL import Image

tool, folder = sys.argv[1:3]
os.makedirs(folder, exist_ok=True)
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def paint(name, *args):
    out = os.path.join(folder, name + ".bmp")
    result = subprocess.run([tool, "gradient", args[0], args[1], args[2], out, *args[3:]],
                            capture_output=True, text=True)
    check(result.returncode == 0, f"{name}: exit code {result.returncode}: {result.stderr}")
    return Image.open(out).convert("RGB") if result.returncode == 0 else None


# Black to white over five rows: increments of 63.75, rounded to even (127.5 gives 128).
image = paint("vertical", "0;16777215;100;0;0", "3", "5")
if image:
    check(image.size == (3, 5), f"vertical: size {image.size}")
    rows = [image.getpixel((1, y)) for y in range(5)]
    check(rows == [(v, v, v) for v in (0, 64, 128, 191, 255)], f"vertical: rows {rows}")

# The fill colour is 0xBBGGRR (here red) outside the rectangle; inside, a horizontal step
# from blue (0xFF0000) to black over columns 1 to 3.
image = paint("rect", "16711680;0;100;1;0", "5", "4", "--fill", "0x0000FF", "--rect", "1,1,4,3")
if image:
    red, blue = (255, 0, 0), (0, 0, 255)
    check(image.getpixel((0, 0)) == red and image.getpixel((4, 3)) == red
          and image.getpixel((1, 3)) == red, "rect: the fill colour outside")
    row = [image.getpixel((x, 1)) for x in range(1, 4)]
    check(row == [blue, (0, 0, 128), (0, 0, 0)], f"rect: row {row}")

for name, args, message in [
    ("no number", ["gradient", "0;0;100;0;0", "wide", "4", "x.bmp"], "WIDTH is not a number"),
    ("too large", ["gradient", "0;0;100;0;0", "4", "100000", "x.bmp"], "HEIGHT must lie between"),
    ("bad data", ["gradient", "0;x;100;0;0", "4", "4", "x.bmp"], ""),
    ("bad option", ["gradient", "0;0;100;0;0", "4", "4", "x.bmp", "--size", "3"],
     "unknown option --size"),
    ("bad rect", ["gradient", "0;0;100;0;0", "4", "4", "x.bmp", "--rect", "1,2,3"],
     "four numbers"),
    ("no command", ["section"], "usage: skin-paint"),
]:
    result = subprocess.run([tool, *args], capture_output=True, text=True,
                            cwd=folder)
    lines = result.stderr.strip().splitlines()
    check(result.returncode == 1 and len(lines) == 1 and message in lines[0],
          f"{name}: exit code {result.returncode}, stderr {result.stderr!r}")

for failure in failures:
    print(failure)
print("skin-paint:", "failed" if failures else "passed")
sys.exit(1 if failures else 0)
