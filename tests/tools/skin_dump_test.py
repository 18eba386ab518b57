"""skin-dump on a skin folder and on the same skin packed by skin-pack: both give the same
model, whose fields are checked against the options written here; damaged input gives a
message and exit status 1.

Usage: skin_dump_test.py SKIN_DUMP SKIN_PACK WORK_FOLDER
"""
import io
import json
import os
import shutil
import subprocess
import sys

from PIL import Image

OPTIONS = """; A small skin for the dump test
[GLOBALINFO]
VERSION=6.14
MASTERBITMAP=MASTER.BMP
AUTHOR=Kalvo test
COLOR=16313565
FONTCOLOR=3484708
BORDERCOLOR=13680037
SHADOW1OFFSET=1
BICONCLOSE=@0030@0002@0062@0021@3@0

[CHECKBOX]
FONTCOLOR=255
TCLEFT=65280
BORDERSMASK=^0000^0000^0054^0036^0000^0000^0000^0000^3^1^1^0

[RADIOBUTTON]
PARENTCLASS=CHECKBOX
BORDERSMASK=N/A
GRADIENTDATA=16777215;16313565;51;0;0;16313565;16114894;140;1;0;7

[FORM]
GLOW0=!GLOW.PNG!1!0!3!0016!0016!0016!0016
PATTERN=BIG.JPG
HOTPATTERN=SMALL.JPG
"""


def picture_files(folder):
    master = Image.new("RGB", (128, 64), (255, 0, 255))
    master.save(os.path.join(folder, "MASTER.BMP"))
    glow = Image.new("RGBA", (6, 4), (255, 255, 255, 128))
    glow.putpixel((1, 1), (10, 20, 30, 200))
    glow.save(os.path.join(folder, "GLOW.PNG"))
    Image.new("RGB", (300, 300), (200, 210, 220)).save(os.path.join(folder, "BIG.JPG"))
    Image.new("RGB", (299, 300), (200, 210, 220)).save(os.path.join(folder, "SMALL.JPG"))


def dump(tool, path):
    run = subprocess.run([tool, path], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"skin-dump {path} failed: {run.stderr}")
    return json.loads(run.stdout)


def by_name(items, section, key=None):
    for item in items:
        if item["SectionName"] == section and (key is None or item["PropertyName"] == key):
            return item
    sys.exit(f"no {section} {key} in the dump")


def check(condition, message):
    if not condition:
        sys.exit(message)


def main():
    skin_dump, skin_pack, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    folder = os.path.join(work, "Blue")
    os.makedirs(folder)
    with open(os.path.join(folder, "Options.dat"), "w", newline="\r\n") as file:
        file.write(OPTIONS)
    picture_files(folder)
    # In the package the glow entry is named in mixed case: found all the same.
    os.makedirs(os.path.join(work, "pack"))
    glow = os.path.join(work, "pack", "Glow.png")
    shutil.copyfile(os.path.join(folder, "GLOW.PNG"), glow)
    package = os.path.join(work, "Blue.asz")
    names = ["Options.dat", "MASTER.BMP", "BIG.JPG", "SMALL.JPG"]
    subprocess.run([skin_pack, package] + [os.path.join(folder, n) for n in names] + [glow],
                   check=True)

    from_folder = dump(skin_dump, folder)
    from_package = dump(skin_dump, package)
    check(set(from_folder) == {"global", "sections", "masks", "patterns"}, "top-level keys")
    for model in (from_folder, from_package):
        model["global"].pop("SkinFolder")
    check(from_folder == from_package, "the folder and the package give different models")

    model = from_package
    g = model["global"]
    check(g["Version"] == 6.14 and g["Author"] == "Kalvo test" and g["BorderColor"] == 13680037
          and g["Shadow1Offset"] == 1 and g["Shadow1Blur"] == -1 and g["Active"] is True,
          f"global values {g}")
    radio = by_name(model["sections"], "RADIOBUTTON")
    check(radio["FontColor"] == {"Color": 255, "TCLeft": 65280, "TCTop": -1, "TCRight": -1,
                                 "TCBottom": -1}, f"inherited font colours {radio['FontColor']}")
    check(radio["GradientSteps"] == [
        {"Color1": 16777215, "Color2": 16313565, "Percent": 51, "Mode": 0},
        {"Color1": 16313565, "Color2": 16114894, "Percent": 100, "Mode": 1}],
        f"gradient steps {radio['GradientSteps']}")
    border = by_name(model["masks"], "CHECKBOX", "BORDERSMASK")
    check(border["SourceRect"] == [0, 0, 54, 36] and
          [border[k] for k in ("WL", "WT", "WR", "WB")] == [6, 6, 6, 6] and
          border["ImgType"] == "itisaBorder" and border["HasImage"] is False,
          f"border mask {border}")
    check(radio["BordersMaskIndex"] == model["masks"].index(border),
          "the radio button does not fall back to its parent's border")
    glyph = by_name(model["masks"], "GLOBALINFO", "BICONCLOSE")
    check(glyph["ImgType"] == "itisaGlyph" and glyph["ImageCount"] == 3, f"glyph {glyph}")
    glow = by_name(model["masks"], "FORM", "GLOW0")
    check(glow["HasImage"] is True and glow["SourceRect"] == [0, 0, 6, 4] and
          glow["ImgType"] == "itisaGlow" and glow["StretchMode"] == 4, f"glow {glow}")
    small = by_name(model["masks"], "FORM", "HOTPATTERN")
    check(small["ImgType"] == "itisaTexture" and small["HasImage"] is True, f"texture {small}")
    check(model["patterns"] == [{"SectionName": "FORM", "PropertyName": "PATTERN",
                                 "Width": 300, "Height": 300}], f"patterns {model['patterns']}")

    # Refusals: each exits 1 with a message and prints no model.
    damaged = os.path.join(work, "damaged.asz")
    raw = open(package, "rb").read()
    open(damaged, "wb").write(raw[:len(raw) // 2])
    foreign = os.path.join(work, "foreign.asz")
    open(foreign, "wb").write(b"PK\x03\x04" + bytes(60))
    for path, words in ((os.path.join(work, "missing"), "no such file"),
                        (damaged, ""),
                        (foreign, "not a packed skin")):
        run = subprocess.run([skin_dump, path], capture_output=True, text=True)
        check(run.returncode == 1 and run.stdout == "" and words in run.stderr.lower()
              and run.stderr.strip(), f"{path}: exit {run.returncode}, {run.stderr!r}")
    print("skin-dump: folder and package agree; refusals exit 1")


if __name__ == "__main__":
    main()
