#!/usr/bin/python3
"""Draws the two pictures of the setup window and stores them as JPEG files.

The pictures, in the palette of the window's light blue-grey skin:
- the banner (480 x 100) across the top of the window: the product name and a subtitle
  beside a logo mark, on a soft gradient, with a network of peers joined by lines fading in
  from the right;
- the side picture (120 x 322) on the left under the banner: a vertical gradient from the
  skin's blue-grey down through the accent blue to a deep blue, with soft light behind a
  network of white peers, and at its foot the logo mark in white over the product name.

Shapes are drawn at four times the final size and scaled down, which smooths their edges;
text is drawn at the final size, where the font's own hinting keeps it crisp. Nothing is
random: the same pictures come out on every run.

The text needs the DejaVu Sans fonts (Debian package fonts-dejavu-core), read from
/usr/share/fonts/truetype/dejavu/; the tool stops with a message when they are missing.

Run with the system Python, which has PIL:
    /usr/bin/python3 tools/make_setup_pictures.py --preview DIR
        writes banner.jpg and side.jpg into DIR, with PNG copies for viewing;
    /usr/bin/python3 tools/make_setup_pictures.py FORM_FILE
        puts the JPEG files into the form definition FORM_FILE, as the hex data of the
        Picture property of the objects Image2 (the banner) and Image1 (the side picture).
Both may be given at once. The JPEG files are baseline, quality 90, RGB with 4:4:4
sampling, with no Exif data and no colour profile.
"""
import argparse
import io
import math
import os
import re
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFilter, ImageFont

BANNER_SIZE = (480, 100)
SIDE_SIZE = (120, 322)
SCALE = 4  # shapes are drawn this many times larger, then scaled down

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
FONT_REGULAR = os.path.join(FONT_DIR, "DejaVuSans.ttf")

# The skin's palette and the tones taken from it.
BACKGROUND = (221, 236, 248)  # the window's background
TEXT = (36, 44, 53)  # the font colour: a dark slate
BORDER = (165, 189, 208)  # the border colour
BLUE = (52, 96, 150)  # the accent, as in the demo logo
DEEP_BLUE = (33, 66, 110)
LIGHT = (246, 250, 253)  # nearly white, a touch of the background's blue
WHITE = (255, 255, 255)

PRODUCT = "Kalvo.Net"
SUBTITLE = "Setup  \u00b7  peer-to-peer file sharing"


def mix(a, b, t):
    """The colour t of the way from a to b."""
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def smooth(t):
    t = min(max(t, 0.0), 1.0)
    return t * t * (3 - 2 * t)


def gradient(size, stops, vertical):
    """An image whose colour runs through stops, a list of (position 0..1, colour)."""
    width, height = size
    length = height if vertical else width
    strip = Image.new("RGB", (length, 1))
    pixels = strip.load()
    for i in range(length):
        t = i / max(length - 1, 1)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                pixels[i, 0] = mix(c0, c1, smooth((t - t0) / (t1 - t0)) if t1 > t0 else 1)
                break
    if vertical:
        strip = strip.transpose(Image.Transpose.TRANSPOSE)
    return strip.resize(size, Image.Resampling.BILINEAR)


def load_font(path, size):
    # PIL would look for a missing file's name in other folders: check the path itself.
    try:
        if not os.path.isfile(path):
            raise OSError
        return ImageFont.truetype(path, size)
    except OSError:
        sys.exit(f"make_setup_pictures: cannot read the font {path}; "
                 "install the Debian package fonts-dejavu-core")


class Layer:
    """A transparent layer at SCALE times the final size, drawn in final-size coordinates."""

    def __init__(self, size):
        self.size = size
        self.image = Image.new("RGBA", (size[0] * SCALE, size[1] * SCALE), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.image)

    def line(self, a, b, colour, width):
        self.draw.line([(a[0] * SCALE, a[1] * SCALE), (b[0] * SCALE, b[1] * SCALE)],
                       fill=colour, width=max(1, round(width * SCALE)))

    def circle(self, centre, radius, fill=None, outline=None, width=0):
        x, y = centre
        self.draw.ellipse([(x - radius) * SCALE, (y - radius) * SCALE,
                           (x + radius) * SCALE, (y + radius) * SCALE],
                          fill=fill, outline=outline, width=round(width * SCALE))

    def scaled(self):
        return self.image.resize(self.size, Image.Resampling.LANCZOS)


def draw_network(layer, nodes, edges, line_colour, node_colour, halo_colour, fade):
    """Peers (x, y, radius), each in a faint halo, joined by lines (pairs of indexes into
    nodes); fade(x, y) gives the opacity, 0 to 1, of what is drawn at x, y."""
    for i, j in edges:
        (x0, y0, _), (x1, y1, _) = nodes[i], nodes[j]
        alpha = fade((x0 + x1) / 2, (y0 + y1) / 2)
        layer.line((x0, y0), (x1, y1), line_colour + (round(200 * alpha),), 1.1)
    for x, y, r in nodes:
        alpha = fade(x, y)
        # The halo fades faster than its peer, or faint peers would look smudged.
        layer.circle((x, y), r + 1.6, fill=halo_colour + (round(110 * alpha * alpha),))
        layer.circle((x, y), r, fill=node_colour + (round(255 * alpha),))


def logo_mark(layer, box, colour_top, colour_bottom, glyph):
    """The product's mark: a rounded square holding five peers joined in a ring, each joined
    also to a sixth in the middle: a swarm sharing a file."""
    x0, y0, x1, y1 = box
    size = x1 - x0
    # The square's own gradient, cut out by a rounded mask.
    big = (round(size * SCALE), round(size * SCALE))
    fill = gradient(big, [(0, colour_top), (1, colour_bottom)], vertical=True).convert("RGBA")
    mask = Image.new("L", big, 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, big[0] - 1, big[1] - 1],
                                           radius=size * 0.24 * SCALE, fill=255)
    fill.putalpha(mask)
    layer.image.alpha_composite(fill, (round(x0 * SCALE), round(y0 * SCALE)))
    cx, cy = x0 + size / 2, y0 + size / 2 + size * 0.02
    ring = size * 0.31
    width = size * 0.042
    peers = [(cx + ring * math.cos(math.radians(a)), cy + ring * math.sin(math.radians(a)))
             for a in range(-90, 270, 72)]
    for i, p in enumerate(peers):
        layer.line(p, peers[(i + 1) % len(peers)], glyph + (255,), width)
        layer.line(p, (cx, cy), glyph + (190,), width * 0.8)
    layer.circle((cx, cy), size * 0.105, fill=glyph + (255,))
    for p in peers:
        layer.circle(p, size * 0.075, fill=glyph + (255,))


def make_banner():
    width, height = BANNER_SIZE
    image = gradient(BANNER_SIZE, [(0, LIGHT), (0.45, LIGHT), (1, BACKGROUND)],
                     vertical=False).convert("RGBA")

    shapes = Layer(BANNER_SIZE)
    # The network on the right, fading out toward the text.
    nodes = [(300, 70, 2.2), (322, 34, 2.6), (350, 82, 2.4), (362, 52, 3.4), (384, 18, 2.4),
             (398, 78, 2.8), (414, 40, 3.0), (436, 66, 2.6), (446, 14, 2.2), (462, 46, 3.2),
             (470, 86, 2.2), (340, 8, 1.8), (426, 94, 1.8), (478, 22, 1.8)]
    edges = [(0, 1), (0, 2), (1, 3), (2, 3), (1, 4), (3, 4), (3, 5), (2, 5), (3, 6), (4, 6),
             (5, 7), (6, 7), (6, 8), (4, 8), (7, 9), (8, 9), (6, 9), (7, 10), (5, 10), (1, 11),
             (4, 11), (10, 12), (5, 12), (9, 13), (8, 13)]

    def fade(x, y):
        return smooth((x - 285) / 110)

    draw_network(shapes, nodes, edges, BORDER, BLUE, WHITE, fade)
    logo_mark(shapes, (22, 22, 78, 78), (74, 124, 182), DEEP_BLUE, WHITE)
    # A rule along the foot: the border colour, with the accent under the name.
    rule = gradient((width * SCALE, 2 * SCALE), [(0, BLUE), (0.5, BORDER), (1, BORDER)],
                    vertical=False).convert("RGBA")
    shapes.image.alpha_composite(rule, (0, (height - 2) * SCALE))
    image.alpha_composite(shapes.scaled())

    draw = ImageDraw.Draw(image)
    title = load_font(FONT_BOLD, 30)
    subtitle = load_font(FONT_REGULAR, 12)
    draw.text((94, 47), PRODUCT, font=title, fill=TEXT, anchor="ls")
    draw.text((96, 68), SUBTITLE, font=subtitle, fill=BLUE, anchor="ls")
    return image.convert("RGB")


def make_side():
    width, height = SIDE_SIZE
    image = gradient(SIDE_SIZE, [(0, BACKGROUND), (0.32, (150, 182, 212)), (0.78, BLUE),
                                 (1, DEEP_BLUE)], vertical=True).convert("RGBA")
    # Soft light behind the busiest peers.
    glow = Image.new("L", SIDE_SIZE, 0)
    glow_draw = ImageDraw.Draw(glow)
    for x, y, r in ((64, 150, 30), (34, 84, 22), (86, 214, 24)):
        glow_draw.ellipse([x - r, y - r, x + r, y + r], fill=70)
    glow = glow.filter(ImageFilter.GaussianBlur(14))
    image = Image.composite(Image.new("RGBA", SIDE_SIZE, WHITE + (255,)), image, glow)

    shapes = Layer(SIDE_SIZE)
    # The network fills the upper part and thins out above the mark.
    nodes = [(16, 30, 1.8), (60, 14, 2.2), (100, 40, 2.0), (34, 84, 3.0), (82, 96, 2.4),
             (14, 132, 2.2), (64, 150, 3.6), (106, 146, 2.2), (28, 196, 2.6), (86, 214, 3.0),
             (50, 238, 2.0), (112, 236, 1.8), (6, 232, 1.6)]
    edges = [(0, 1), (1, 2), (0, 3), (1, 3), (2, 4), (3, 4), (1, 4), (3, 5), (3, 6), (4, 6),
             (5, 6), (4, 7), (6, 7), (5, 8), (6, 8), (6, 9), (7, 9), (8, 9), (8, 10), (9, 10),
             (9, 11), (7, 11), (8, 12), (5, 12)]

    def fade(x, y):
        return (0.45 + 0.55 * smooth((y - 10) / 140)) * (1 - 0.55 * smooth((y - 190) / 50))

    draw_network(shapes, nodes, edges, WHITE, WHITE, (160, 200, 236), fade)
    # The mark at the foot, in white on the deep blue, over the product name.
    logo_mark(shapes, (40, 254, 80, 294), WHITE, (214, 228, 242), DEEP_BLUE)
    image.alpha_composite(shapes.scaled())

    draw = ImageDraw.Draw(image)
    draw.text((width / 2, 312), PRODUCT, font=load_font(FONT_BOLD, 12), fill=WHITE,
              anchor="ms")
    return image.convert("RGB")


# ----------------------------------------------------------------------------------------
# JPEG files

def jpeg_bytes(image):
    """The image as the program's JPEG decoder wants it: baseline, 4:4:4 (sharp edges on
    coloured text), no Exif data, no colour profile."""
    data = io.BytesIO()
    image.save(data, "JPEG", quality=90, progressive=False, optimize=True, subsampling=0)
    raw = data.getvalue()
    check_jpeg(raw, image.size)
    return raw


def check_jpeg(raw, size):
    """Raises ValueError unless raw is a baseline colour JPEG file of the given size with no
    Exif or colour profile segment: a guard against a PIL that saves otherwise."""
    if raw[:2] != b"\xff\xd8":
        raise ValueError("no start of image")
    pos = 2
    while True:
        if pos + 4 > len(raw) or raw[pos] != 0xFF:
            raise ValueError(f"bad marker at byte {pos}")
        marker = raw[pos + 1]
        length = int.from_bytes(raw[pos + 2:pos + 4], "big")
        segment = raw[pos + 4:pos + 2 + length]
        if marker in (0xE1, 0xE2):
            raise ValueError(f"unwanted APP{marker - 0xE0} segment")
        if 0xC1 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            raise ValueError(f"not a baseline JPEG (frame marker ff{marker:02x})")
        if marker == 0xC0:
            height = int.from_bytes(segment[1:3], "big")
            width = int.from_bytes(segment[3:5], "big")
            components = segment[5]
            if (width, height) != tuple(size) or components != 3:
                raise ValueError(f"frame is {width} x {height} with {components} components")
            sampling = {segment[6 + 3 * i + 1] for i in range(components)}
            if sampling != {0x11}:
                raise ValueError("sampling is not 4:4:4")
            break
        pos += 2 + length
    with Image.open(io.BytesIO(raw)) as decoded:
        decoded.load()
        if decoded.mode != "RGB" or decoded.size != tuple(size):
            raise ValueError(f"decodes to {decoded.mode} {decoded.size}")


# ----------------------------------------------------------------------------------------
# Form definition files

class FormError(Exception):
    pass


TOKEN = re.compile(r"""
    (?P<blank>[ \t\r\n]+)
  | (?P<comment>\#[^\n]*)
  | (?P<string>"(?:[^"\\\n]|\\.)*")
  | (?P<word>[A-Za-z0-9_.]+)
  | (?P<punct>[-{}=:\[\],])
""", re.VERBOSE)


def tokens(text):
    """(kind, text, position) for each word, string and punctuation mark of a form
    definition; blanks and comments are skipped."""
    pos = 0
    if text.startswith("\ufeff"):
        pos = 1
    while pos < len(text):
        match = TOKEN.match(text, pos)
        if match is None:
            line = place_line(text, pos)
            if text[pos] == '"':
                raise FormError(f"line {line}: a string does not end on the line it starts")
            raise FormError(f"line {line}: unexpected character {text[pos]!r}")
        kind = match.lastgroup
        if kind not in ("blank", "comment"):
            yield kind, match.group(), pos
        pos = match.end()


def find_objects(text):
    """For each object of the file, by name: a list of its occurrences, each a dict with
    the line of the object, its Picture hex block as [position of the word Picture,
    position of '{', position of '}'] (or None), how many Picture blocks it has, and its
    Width and Height (or None). Only the object's own properties count, not its children's."""
    found = {}
    stack = []  # for each open brace: the object's dict, or None for other blocks
    toks = list(tokens(text))
    i = 0
    while i < len(toks):
        kind, word, pos = toks[i]
        words = [t[1] for t in toks[i:i + 5]]
        owner = stack[-1] if stack and isinstance(stack[-1], dict) else None
        if (kind == "word" and word == "object" and len(words) == 5 and words[2] == ":" and
                words[4] == "{"):
            place = {"line": place_line(text, pos), "picture": None, "blocks": 0,
                     "Width": None, "Height": None}
            found.setdefault(words[1], []).append(place)
            stack.append(place)
            i += 5
            continue
        if owner is not None and kind == "word" and words[1:2] == ["="]:
            if word == "Picture":
                if words[2:4] != ["hex", "{"]:
                    raise FormError(f"line {place_line(text, pos)}: the Picture property "
                                    "is not hex data")
                owner["blocks"] += 1
                owner["picture"] = [pos, toks[i + 3][2], None]
                stack.append(owner["picture"])
                i += 4
                continue
            if word in ("Width", "Height") and len(words) > 2 and words[2].isdigit():
                owner[word] = int(words[2])
        if word == "{" and kind == "punct":
            stack.append(None)
        elif word == "}" and kind == "punct":
            if not stack:
                raise FormError(f"line {place_line(text, pos)}: '}}' closes nothing")
            top = stack.pop()
            if isinstance(top, list):
                top[2] = pos
        i += 1
    if stack:
        raise FormError("the file ends inside a block: a '}' is missing")
    return found


def place_line(text, pos):
    return text.count("\n", 0, pos) + 1


def line_start(text, pos):
    return text.rfind("\n", 0, pos) + 1


def put_picture(text, name, raw, size):
    """The text with the Picture hex block of the object called name holding raw."""
    places = find_objects(text).get(name, [])
    if not places:
        raise FormError(f"there is no object {name}")
    if len(places) > 1:
        lines = ", ".join(str(p["line"]) for p in places)
        raise FormError(f"there are {len(places)} objects called {name} (lines {lines})")
    place = places[0]
    if place["picture"] is None:
        raise FormError(f"the object {name} (line {place['line']}) has no Picture = hex {{ }}")
    if place["blocks"] > 1:
        raise FormError(f"the object {name} (line {place['line']}) has more than one Picture")
    for key, want in zip(("Width", "Height"), size):
        if place[key] is not None and place[key] != want:
            print(f"make_setup_pictures: warning: {name} has {key} = {place[key]}, "
                  f"its picture {want}", file=sys.stderr)

    property_pos, open_pos, close_pos = place["picture"]
    first = line_start(text, property_pos)
    indent = re.match(r"[ \t]*", text[first:]).group()
    end_of_open = text.find("\n", open_pos)
    newline = "\r\n" if end_of_open > 0 and text[end_of_open - 1] == "\r" else "\n"
    body = "".join(indent + "    " + raw[i:i + 32].hex() + newline
                   for i in range(0, len(raw), 32))

    # Keep the opening line whole when nothing but a comment follows the brace.
    after_open = text[open_pos + 1:end_of_open if end_of_open >= 0 else len(text)]
    if end_of_open >= 0 and end_of_open < close_pos and \
            (after_open.strip() == "" or after_open.strip().startswith("#")):
        start, lead = end_of_open + 1, ""
    else:
        start, lead = open_pos + 1, newline
    # Keep the closing line's indentation when the brace stands first on its line.
    close_line = line_start(text, close_pos)
    if close_line >= start and text[close_line:close_pos].strip() == "":
        end, trail = close_line, ""
    else:
        end, trail = close_pos, indent
    return text[:start] + lead + body + trail + text[end:]


def read_hex_block(text, name):
    """The bytes in the Picture hex block of the object called name."""
    place = find_objects(text)[name][0]
    _, open_pos, close_pos = place["picture"]
    digits = re.sub(r"#[^\n]*|\s+", "", text[open_pos + 1:close_pos])
    return bytes.fromhex(digits)


def update_form(path, pictures):
    """Puts each (object name, JPEG bytes, size) of pictures into the form file at path."""
    try:
        with open(path, "rb") as file:
            original = file.read()
    except OSError as error:
        raise FormError(f"cannot read it: {error.strerror}")
    # Bytes that are not UTF-8 pass through unchanged.
    text = original.decode("utf-8", errors="surrogateescape")
    for name, raw, size in pictures:
        text = put_picture(text, name, raw, size)
    for name, raw, _ in pictures:
        if read_hex_block(text, name) != raw:
            raise FormError(f"the rewritten block of {name} does not read back")
    updated = text.encode("utf-8", errors="surrogateescape")
    if updated == original:
        return False
    # A new file beside the old one, renamed over it: an interrupted run leaves the old.
    folder = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(prefix=".make_setup_pictures.", dir=folder)
    try:
        with os.fdopen(handle, "wb") as file:
            file.write(updated)
        os.chmod(temporary, os.stat(path).st_mode & 0o7777)
        os.replace(temporary, path)
    except OSError as error:
        try:
            os.unlink(temporary)
        except OSError:
            pass
        raise FormError(f"cannot write it: {error.strerror}")
    return True


# ----------------------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser(
        description="Draws the banner and the side picture of the setup window as JPEG files.")
    parser.add_argument("--preview", metavar="DIR",
                        help="write banner.jpg and side.jpg, and PNG copies, into DIR")
    parser.add_argument("form", metavar="FORM_FILE", nargs="?",
                        help="form definition whose objects Image2 (banner) and Image1 (side "
                             "picture) get the pictures")
    args = parser.parse_args()
    if args.preview is None and args.form is None:
        parser.error("give --preview DIR, a FORM_FILE, or both")

    banner = jpeg_bytes(make_banner())
    side = jpeg_bytes(make_side())

    if args.preview is not None:
        try:
            os.makedirs(args.preview, exist_ok=True)
            for stem, raw in (("banner", banner), ("side", side)):
                with open(os.path.join(args.preview, stem + ".jpg"), "wb") as file:
                    file.write(raw)
                # The PNG copy is the decoded JPEG: what the window will show.
                with Image.open(io.BytesIO(raw)) as decoded:
                    decoded.save(os.path.join(args.preview, stem + ".png"))
        except OSError as error:
            sys.exit(f"make_setup_pictures: cannot write into {args.preview}: "
                     f"{error.strerror}")
        print(f"{args.preview}: banner.jpg {len(banner)} bytes, side.jpg {len(side)} bytes")

    if args.form is not None:
        try:
            changed = update_form(args.form, [("Image2", banner, BANNER_SIZE),
                                              ("Image1", side, SIDE_SIZE)])
        except FormError as error:
            sys.exit(f"make_setup_pictures: {args.form}: {error}")
        print(f"{args.form}: " + ("pictures updated" if changed else "pictures already current")
              + f" (Image2 {len(banner)} bytes, Image1 {len(side)} bytes)")


if __name__ == "__main__":
    main()
