#!/usr/bin/python3
"""Prints the demo form's logo (a 32 x 32 24-bit BMP) as the hex block of a form definition.

The logo: a rounded square in the skin palette's blue with a white arrow pointing down into a
tray, the picture of a download. Run with the system Python, which has PIL:
    /usr/bin/python3 tools/make_demo_logo.py
"""
import io

from PIL import Image, ImageDraw

SIZE = 32
BACKGROUND = (221, 236, 248)  # the palette's background: the logo sits on it
BLUE = (52, 96, 150)
WHITE = (255, 255, 255)

image = Image.new("RGB", (SIZE, SIZE), BACKGROUND)
draw = ImageDraw.Draw(image)
draw.rounded_rectangle((1, 1, SIZE - 2, SIZE - 2), radius=7, fill=BLUE)
# The arrow: a shaft and a head.
draw.rectangle((14, 6, 17, 16), fill=WHITE)
draw.polygon([(9, 15), (22, 15), (15.5, 22)], fill=WHITE)
# The tray.
draw.line([(8, 21), (8, 25), (23, 25), (23, 21)], fill=WHITE, width=2)

data = io.BytesIO()
image.save(data, "BMP")
raw = data.getvalue()
lines = [raw[i:i + 32].hex() for i in range(0, len(raw), 32)]
# Indented for its place in app/demo/demo_form.form, inside the object Logo.
print("            Picture = hex {")
for line in lines:
    print("                " + line)
print("            }")
