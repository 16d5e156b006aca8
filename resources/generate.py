#!/usr/bin/python3
"""Draws the pictures Zenqar carries and writes them next to this script.

Run it with Debian's python3 (python3-pil) and fonts-wqy-microhei installed:
    /usr/bin/python3 resources/generate.py
The outputs are committed, so building the program needs none of this.
"""

import math
import random
import struct
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

HERE = Path(__file__).resolve().parent
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SCALE = 4  # shapes are drawn this much larger and scaled down, for smooth edges

# The pictures are grey only. A fixed table of a few greys keeps them small,
# and gives every frame of the animation the same, global, colour table.
START_GREYS = [i * 17 for i in range(16)]
WORKING_GREYS = [51 + round(i * (247 - 51) / 15) for i in range(16)]  # ink to background


def grey_table(greys):
    return bytes(g for g in greys for _ in range(3))


def to_greys(image_l, greys):
    """An 'L' picture as a palette picture of the given greys, undithered."""
    palette = Image.new("P", (1, 1))
    palette.putpalette(grey_table(greys) + bytes(3 * (256 - len(greys))))
    return image_l.convert("RGB").quantize(palette=palette, dither=Image.Dither.NONE)


def save_gif(frames, path, greys, **animation):
    """GIF89a with the greys as its global colour table and no local ones."""
    frames[0].info["version"] = b"89a"
    frames[0].save(path, save_all=True, append_images=frames[1:], palette=grey_table(greys),
                   optimize=False, **animation)


def font(size):
    return ImageFont.truetype(CJK_FONT, size * SCALE)


def draw_centred_text(draw, text, centre_x, top, size, fill):
    face = font(size)
    left, _, right, _ = draw.textbbox((0, 0), text, font=face)
    draw.text((centre_x * SCALE - (right - left) / 2, top * SCALE), text, font=face, fill=fill)


def shrink(image):
    return image.resize((image.width // SCALE, image.height // SCALE), Image.Resampling.LANCZOS)


# --- StartPicture ---------------------------------------------------------------------

def qr_like_modules(count, seed):
    """A fixed pseudo-random module pattern with the three finder squares of a QR symbol."""
    rng = random.Random(seed)
    dark = [[rng.random() < 0.45 for _ in range(count)] for _ in range(count)]
    for corner_row, corner_col in ((0, 0), (0, count - 7), (count - 7, 0)):
        for r in range(-1, 8):
            for c in range(-1, 8):
                row, col = corner_row + r, corner_col + c
                if not (0 <= row < count and 0 <= col < count):
                    continue
                ring = max(abs(r - 3), abs(c - 3))
                dark[row][col] = ring in (0, 1, 3)  # 3x3 core, gap ring, outer ring
    return dark


def draw_shutter(draw, cx, cy, radius, fill, background):
    """A camera-aperture mark: a ring with six blades meeting round a hexagon."""
    s = SCALE
    draw.ellipse([(cx - radius - 4) * s, (cy - radius - 4) * s, (cx + radius + 4) * s, (cy + radius + 4) * s],
                 fill=background)
    draw.ellipse([(cx - radius) * s, (cy - radius) * s, (cx + radius) * s, (cy + radius) * s],
                 outline=fill, width=3 * s)
    inner = radius * 0.45
    for k in range(6):
        angle = math.radians(60 * k)
        vertex = (cx + inner * math.cos(angle), cy + inner * math.sin(angle))
        # Each blade edge leaves a hexagon corner along the next side's direction.
        direction = angle + math.radians(120)
        end = (vertex[0] + radius * 1.2 * math.cos(direction), vertex[1] + radius * 1.2 * math.sin(direction))
        # Clip to the ring: walk back along the edge until inside the circle.
        t = 1.0
        while math.hypot(end[0] - cx, end[1] - cy) > radius - 1 and t > 0:
            t -= 0.02
            end = (vertex[0] + radius * 1.2 * t * math.cos(direction),
                   vertex[1] + radius * 1.2 * t * math.sin(direction))
        draw.line([vertex[0] * s, vertex[1] * s, end[0] * s, end[1] * s], fill=fill, width=2 * s)


def start_picture():
    size, background, faded = 220, 255, 214
    canvas = Image.new("L", (size * SCALE, size * SCALE), background)
    draw = ImageDraw.Draw(canvas)
    modules, module_px, left, top = 25, 6, 35, 14
    for row, line in enumerate(qr_like_modules(modules, seed=2024)):
        for col, is_dark in enumerate(line):
            if is_dark:
                x, y = left + col * module_px, top + row * module_px
                draw.rectangle([x * SCALE, y * SCALE, (x + module_px) * SCALE - 1, (y + module_px) * SCALE - 1],
                               fill=faded)
    centre = left + modules * module_px / 2
    draw_shutter(draw, centre, top + modules * module_px / 2, 22, fill=faded - 20, background=background)
    draw_centred_text(draw, "在输入框内填写您的内容", size / 2, 178, 16, fill=150)
    return to_greys(shrink(canvas), START_GREYS)


# --- WorkingPicture -------------------------------------------------------------------

def working_frame(angle_degrees):
    size, background, ink = 220, 247, 51
    cx, cy, radius, stroke = 110, 92, 30, 8
    canvas = Image.new("L", (size * SCALE, size * SCALE), background)
    draw = ImageDraw.Draw(canvas)
    s = SCALE
    box = [(cx - radius) * s, (cy - radius) * s, (cx + radius) * s, (cy + radius) * s]
    for half in (0, 180):
        start = angle_degrees + half + 20
        end = start + 130
        draw.arc(box, start, end, fill=ink, width=stroke * s)
        # Arrowhead at the end of the arc, pointing along the turn.
        tip_angle = math.radians(end + 22)
        base_angle = math.radians(end - 2)
        outer, inner = radius + 4 + stroke / 2, radius - 4 - stroke / 2
        head = [
            (cx + radius * math.cos(tip_angle), cy + radius * math.sin(tip_angle)),
            (cx + outer * math.cos(base_angle), cy + outer * math.sin(base_angle)),
            (cx + inner * math.cos(base_angle), cy + inner * math.sin(base_angle)),
        ]
        draw.polygon([(x * s, y * s) for x, y in head], fill=ink)
    draw_centred_text(draw, "加载中...", size / 2, 150, 18, fill=ink)
    return to_greys(shrink(canvas), WORKING_GREYS)


def save_working_picture(path):
    # The symbol has two equal halves, so half a turn over nine frames loops smoothly.
    frames = [working_frame(20 * k) for k in range(9)]
    save_gif(frames, path, WORKING_GREYS, duration=100, loop=0)


# --- PageLabelPicture and the window icon -----------------------------------------------

def page_label_picture():
    picture = Image.new("RGB", (60, 25), (252, 252, 254))
    ImageDraw.Draw(picture).rectangle([0, 0, 59, 24], outline=(145, 167, 180))
    return picture


def icon_picture(size):
    big = 145 * SCALE
    blue = (0, 114, 206)
    canvas = Image.new("RGB", (big, big), (0, 0, 0))
    draw = ImageDraw.Draw(canvas)
    margin, ring = 4 * SCALE, 9 * SCALE
    draw.ellipse([margin, margin, big - margin, big - margin], outline=blue, width=ring)
    cell, gap = 23 * SCALE, 8 * SCALE
    grid = 3 * cell + 2 * gap
    origin = (big - grid) // 2
    for row in range(3):
        for col in range(3):
            x, y = origin + col * (cell + gap), origin + row * (cell + gap)
            square = [x, y, x + cell - 1, y + cell - 1]
            if (row, col) == (0, 0):
                draw.rectangle(square, outline=blue, width=4 * SCALE)
            else:
                draw.rectangle(square, fill=blue)
    return canvas.resize((size, size), Image.Resampling.LANCZOS)


def ico_entry_bytes(picture):
    """One 24-bit icon image: a BITMAPINFOHEADER of double height, the colours
    bottom-up, then the all-opaque AND mask."""
    width, height = picture.size
    colour_row = (width * 3 + 3) & ~3
    mask_row = ((width + 31) // 32) * 4
    pixels = picture.load()
    colours = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[x, y]
            row += bytes((b, g, r))
        colours += row + bytes(colour_row - len(row))
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 24, 0,
                         len(colours) + mask_row * height, 0, 0, 0, 0)
    return header + bytes(colours) + bytes(mask_row * height)


def save_icon(path, sizes):
    images = [ico_entry_bytes(icon_picture(size)) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 24, len(image), offset)
        offset += len(image)
    path.write_bytes(directory + entries + b"".join(images))


def main():
    save_gif([start_picture()], HERE / "start_picture.gif", START_GREYS)
    save_working_picture(HERE / "working_picture.gif")
    page_label_picture().save(HERE / "page_label_picture.bmp")
    save_icon(HERE / "zenqar.ico", [16, 32, 48, 145])
    for name in ("start_picture.gif", "working_picture.gif", "page_label_picture.bmp", "zenqar.ico"):
        print(f"{name}: {(HERE / name).stat().st_size} bytes")


if __name__ == "__main__":
    main()
