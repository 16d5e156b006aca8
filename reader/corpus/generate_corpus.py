#!/usr/bin/python3
"""Writes a corpus of QR images and a manifest of what each image holds.

The symbols come from encoders written elsewhere (segno, python-qrcode,
libqrencode's command line and zint); this script only draws their module
matrices, moves them around and spoils them the way cameras and printers do.
It reads back the format information of every matrix so that the manifest
records the level and mask the encoder really chose.

    generate_corpus.py --out DIR [--profile small|bench] [--seed N]

'small' is the corpus committed with the tests; 'bench' is a larger one with
graded severity, written into the build directory when the benchmark runs.
Everything is derived from the seed, so the same command writes the same files.

Manifest (DIR/manifest.tsv), tab-separated, '#' starts a comment:
    image   FILE  CATEGORY  MUST  WIDTH  HEIGHT
    symbol  VERSION  LEVEL  MASK  SA_POSITION  SA_TOTAL  SA_PARITY  MIRRORED
            X0,Y0,X1,Y1,X2,Y2,X3,Y3  UTF8_HEX  ENCODER
Symbol lines belong to the image line above them. MUST is 1 when a reader is
expected to read every symbol of the image, 0 for images that are meant to be
hard. SA_TOTAL is 0 for a symbol outside a structured-append sequence. The
corners are the symbol's outer corners (quiet zone excluded) in image
coordinates, in the order top-left, top-right, bottom-right, bottom-left of
the symbol's own layout; for a MIRRORED symbol the top-right and bottom-left
are those of the unmirrored drawing. The DLL's format samples (other file
types than PNG) carry the category 'formats'.
"""

import argparse
import io
import math
import os
import random
import subprocess

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageOps
import qrcode
import qrcode.base
import qrcode.constants
import segno
import segno.encoder

LEVELS = "LMQH"

# ---------------------------------------------------------------------------
# Symbols: module matrices from the encoders
# ---------------------------------------------------------------------------


class Symbol:
    """One encoded symbol: its modules (rows of bools, True dark) and what a
    reader should report for it."""

    def __init__(self, matrix, text, encoder, sa=(0, 0, 0)):
        self.matrix = [list(map(bool, row)) for row in matrix]
        self.size = len(self.matrix)
        if (self.size - 17) % 4 or not 21 <= self.size <= 177:
            raise ValueError(f"{encoder}: matrix of size {self.size} is no QR version")
        self.version = (self.size - 17) // 4
        self.level, self.mask = read_format(self.matrix)
        self.text = text
        self.encoder = encoder
        self.sa_position, self.sa_total, self.sa_parity = sa


def format_codeword(level, mask):
    # Format information: 2 level bits and 3 mask bits, BCH(15,5), XOR 0x5412.
    level_bits = {"L": 1, "M": 0, "Q": 3, "H": 2}[level]
    data = level_bits << 3 | mask
    rem = data
    for _ in range(10):
        rem = (rem << 1) ^ ((rem >> 9) * 0x537)
    return (data << 10 | rem) ^ 0x5412


def read_format(matrix):
    """The level and mask of the first format copy, read next to the top-left finder."""
    bits = 0
    positions = [(8, i) for i in range(6)] + [(8, 7), (8, 8), (7, 8)] + [(14 - i, 8) for i in range(9, 15)]
    for i, (x, y) in enumerate(positions):
        if matrix[y][x]:
            bits |= 1 << i
    for level in LEVELS:
        for mask in range(8):
            if format_codeword(level, mask) == bits:
                return level, mask
    raise ValueError("format information matches no level and mask")


def data_codewords(version, level):
    ec = {"L": qrcode.constants.ERROR_CORRECT_L, "M": qrcode.constants.ERROR_CORRECT_M,
          "Q": qrcode.constants.ERROR_CORRECT_Q, "H": qrcode.constants.ERROR_CORRECT_H}[level]
    return sum(block.data_count for block in qrcode.base.rs_blocks(version, ec))


def byte_capacity(version, level):
    count_bits = 8 if version < 10 else 16
    return (data_codewords(version, level) * 8 - 4 - count_bits) // 8


def segno_symbol(text, level, version=None, mask=None, mode=None, encoding=None, eci=False, data=None):
    qr = segno.make(data if data is not None else text, error=level, version=version, mask=mask, mode=mode,
                    encoding=encoding, eci=eci, boost_error=False, micro=False)
    return Symbol(qr.matrix, text, "segno")


def pyqrcode_symbol(text, level, version, mask=None):
    ec = {"L": qrcode.constants.ERROR_CORRECT_L, "M": qrcode.constants.ERROR_CORRECT_M,
          "Q": qrcode.constants.ERROR_CORRECT_Q, "H": qrcode.constants.ERROR_CORRECT_H}[level]
    qr = qrcode.QRCode(version=version, error_correction=ec, border=0, mask_pattern=mask)
    qr.add_data(text)
    qr.make(fit=False)
    return Symbol(qr.get_matrix(), text, "python-qrcode")


def qrencode_symbol(text, level, version=1, data=None, kanji=False, eight_bit=False):
    """libqrencode's command line; data (bytes) defaults to the text as UTF-8.
    Version is the smallest allowed; the manifest records the one it chose."""
    args = ["qrencode", "-t", "ASCII", "-m", "0", "-l", level, "-v", str(version), "-o", "-"]
    if kanji:
        args.append("-k")
    if eight_bit:
        args.append("-8")
    raw = data if data is not None else text.encode("utf-8")
    out = subprocess.run(args, input=raw, capture_output=True, check=True).stdout.decode("ascii")
    rows = [line for line in out.split("\n") if line]
    return Symbol([[row[i] == "#" for i in range(0, len(row), 2)] for row in rows], text, "qrencode")


def zint_symbol(text, level, version=None, data=None, mask=None, eci=None, gs1=False, structapp=None):
    """zint's command line; data (bytes) defaults to the text as UTF-8."""
    args = ["zint", "-b", "58", "--secure=%d" % (LEVELS.index(level) + 1), "--dump"]
    if version:
        args.append(f"--vers={version}")
    if mask is not None:
        args.append(f"--mask={mask}")
    if eci is not None:
        args.append(f"--eci={eci}")
    if gs1:
        args.append("--gs1")
    if structapp:
        args.append("--structapp=%d,%d,%d" % structapp)
    if data is not None:
        args.append("--binary")
    # Arguments travel as bytes, so binary data reaches zint unchanged.
    args += ["-d", data if data is not None else text.encode("utf-8")]
    out = subprocess.run(args, capture_output=True, check=True).stdout.decode("ascii")
    matrix = []
    for line in out.split("\n"):
        digits = line.replace(" ", "")
        if not digits:
            continue
        bits = "".join(f"{int(d, 16):04b}" for d in digits)
        matrix.append([b == "1" for b in bits])
    size = len(matrix)
    return Symbol([row[:size] for row in matrix], text, "zint")


# ---------------------------------------------------------------------------
# Scenes: an image with the symbols drawn on it and where their corners are
# ---------------------------------------------------------------------------


class Placed:
    def __init__(self, symbol, corners, mirrored=False):
        self.symbol = symbol
        self.corners = corners  # four (x, y): the symbol's TL, TR, BR, BL
        self.mirrored = mirrored


class Scene:
    def __init__(self, image, placed):
        self.image = image
        self.placed = placed

    def map_corners(self, fn):
        for p in self.placed:
            p.corners = [fn(x, y) for x, y in p.corners]


def render(symbol, module=4, border=4, dark=0, light=255):
    n = symbol.size
    side = (n + 2 * border) * module
    image = Image.new("L", (side, side), light)
    draw = ImageDraw.Draw(image)
    for y, row in enumerate(symbol.matrix):
        for x, is_dark in enumerate(row):
            if is_dark:
                x0, y0 = (x + border) * module, (y + border) * module
                draw.rectangle([x0, y0, x0 + module - 1, y0 + module - 1], fill=dark)
    o = border * module
    e = (border + n) * module
    return Scene(image, [Placed(symbol, [(o, o), (e, o), (e, e), (o, e)])])


def compose(scenes, gap=16, columns=None, background=255):
    """Lays several scenes out in rows on one canvas."""
    columns = columns or len(scenes)
    rows = [scenes[i:i + columns] for i in range(0, len(scenes), columns)]
    width = max(sum(s.image.width for s in row) + gap * (len(row) + 1) for row in rows)
    height = sum(max(s.image.height for s in row) for row in rows) + gap * (len(rows) + 1)
    canvas = Image.new("L", (width, height), background)
    placed = []
    y = gap
    for row in rows:
        x = gap
        for s in row:
            canvas.paste(s.image, (x, y))
            for p in s.placed:
                placed.append(Placed(p.symbol, [(cx + x, cy + y) for cx, cy in p.corners], p.mirrored))
            x += s.image.width + gap
        y += max(s.image.height for s in row) + gap
    return Scene(canvas, placed)


# --- geometry: every geometric change is one homography ----------------------


def mat_mul(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(3)) for j in range(3)] for i in range(3)]


def mat_inv(m):
    a, b, c = m[0]
    d, e, f = m[1]
    g, h, i = m[2]
    det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g)
    inv = [[e * i - f * h, c * h - b * i, b * f - c * e],
           [f * g - d * i, a * i - c * g, c * d - a * f],
           [d * h - e * g, b * g - a * h, a * e - b * d]]
    return [[v / det for v in row] for row in inv]


def apply(m, x, y):
    w = m[2][0] * x + m[2][1] * y + m[2][2]
    return ((m[0][0] * x + m[0][1] * y + m[0][2]) / w, (m[1][0] * x + m[1][1] * y + m[1][2]) / w)


def homography(src, dst):
    """The projective map that takes the four src points to the four dst points."""
    rows, rhs = [], []
    for (x, y), (u, v) in zip(src, dst):
        rows.append([x, y, 1, 0, 0, 0, -u * x, -u * y])
        rhs.append(u)
        rows.append([0, 0, 0, x, y, 1, -v * x, -v * y])
        rhs.append(v)
    h = solve(rows, rhs)
    return [[h[0], h[1], h[2]], [h[3], h[4], h[5]], [h[6], h[7], 1.0]]


def solve(a, b):
    n = len(b)
    m = [row[:] + [b[i]] for i, row in enumerate(a)]
    for col in range(n):
        pivot = max(range(col, n), key=lambda r: abs(m[r][col]))
        m[col], m[pivot] = m[pivot], m[col]
        for r in range(n):
            if r != col:
                f = m[r][col] / m[col][col]
                m[r] = [vr - f * vc for vr, vc in zip(m[r], m[col])]
    return [m[i][n] / m[i][i] for i in range(n)]


def warp(scene, m, margin=8, fill=255):
    """Applies the homography m (old to new coordinates) on a canvas that
    holds the whole result plus a margin."""
    w, h = scene.image.size
    box = [apply(m, x, y) for x, y in [(0, 0), (w, 0), (w, h), (0, h)]]
    min_x = min(p[0] for p in box) - margin
    min_y = min(p[1] for p in box) - margin
    width = int(math.ceil(max(p[0] for p in box) - min_x + margin))
    height = int(math.ceil(max(p[1] for p in box) - min_y + margin))
    m = mat_mul([[1, 0, -min_x], [0, 1, -min_y], [0, 0, 1]], m)
    inv = mat_inv(m)
    coeffs = [inv[r][c] / inv[2][2] for r in range(3) for c in range(3)][:8]
    image = scene.image.transform((width, height), Image.PERSPECTIVE, coeffs, Image.BICUBIC, fillcolor=fill)
    placed = [Placed(p.symbol, [apply(m, x, y) for x, y in p.corners], p.mirrored) for p in scene.placed]
    return Scene(image, placed)


def rotate(scene, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return warp(scene, [[c, -s, 0], [s, c, 0], [0, 0, 1]])


def mirror(scene, rng):
    """Flips left-right or top-bottom (drawn as the symbol seen from behind)."""
    w, h = scene.image.size
    out = Scene(scene.image, [Placed(p.symbol, p.corners, not p.mirrored) for p in scene.placed])
    if rng.random() < 0.5:
        out.image = ImageOps.mirror(scene.image)
        out.map_corners(lambda x, y: (w - x, y))
    else:
        out.image = ImageOps.flip(scene.image)
        out.map_corners(lambda x, y: (x, h - y))
    return out


def perspective(scene, rng, strength):
    """Moves each corner of the image inwards by up to strength of its size,
    as a camera held at an angle would see it."""
    w, h = scene.image.size
    src = [(0, 0), (w, 0), (w, h), (0, h)]
    dst = [(x + rng.uniform(0, strength) * w * (1 if x == 0 else -1),
            y + rng.uniform(0, strength) * h * (1 if y == 0 else -1)) for x, y in src]
    return warp(scene, homography(src, dst))


def rescale(scene, factor):
    w, h = scene.image.size
    size = (max(1, round(w * factor)), max(1, round(h * factor)))
    fx, fy = size[0] / w, size[1] / h
    out = Scene(scene.image.resize(size, Image.LANCZOS), scene.placed)
    out.map_corners(lambda x, y: (x * fx, y * fy))
    return out


# --- photometric changes: pixels only -----------------------------------------


def with_image(scene, image):
    return Scene(image, scene.placed)


def blur(scene, radius):
    return with_image(scene, scene.image.filter(ImageFilter.GaussianBlur(radius)))


def add_noise(scene, rng, amplitude):
    """Adds roughly Gaussian noise: the mean of four uniform fields, spread
    to the given standard deviation in grey levels."""
    w, h = scene.image.size
    fields = [Image.frombytes("L", (w, h), rng.randbytes(w * h)) for _ in range(4)]
    mean = ImageChops.add(ImageChops.add(fields[0], fields[1], 2.0), ImageChops.add(fields[2], fields[3], 2.0), 2.0)
    # The mean of four uniforms has a deviation of 73.9 / 2 grey levels.
    gain = amplitude / 36.9
    spread = mean.point(lambda v: int(max(0, min(255, 128 + gain * (v - 127.5)))))
    return with_image(scene, ImageChops.add(scene.image, spread, 1.0, -128))


def jpeg(scene, quality):
    buffer = io.BytesIO()
    scene.image.save(buffer, "JPEG", quality=quality)
    buffer.seek(0)
    return with_image(scene, Image.open(buffer).convert("L"))


def invert(scene):
    return with_image(scene, ImageOps.invert(scene.image))


def contrast(scene, dark, light):
    return with_image(scene, scene.image.point(lambda v: int(round(dark + (light - dark) * v / 255))))


def uneven_light(scene, rng, darkest):
    """Light falling off across the image in a random direction, down to
    darkest of full brightness, with a soft round shadow."""
    w, h = scene.image.size
    side = int(math.hypot(w, h)) + 2
    ramp = Image.linear_gradient("L").resize((side, side)).rotate(rng.uniform(0, 360), Image.BILINEAR)
    ramp = ramp.crop(((side - w) // 2, (side - h) // 2, (side - w) // 2 + w, (side - h) // 2 + h))
    ramp = ramp.point(lambda v: int(255 * darkest + (255 - 255 * darkest) * v / 255))
    shade = Image.new("L", (w, h), 255)
    r = rng.uniform(0.15, 0.3) * min(w, h)
    cx, cy = rng.uniform(0, w), rng.uniform(0, h)
    ImageDraw.Draw(shade).ellipse([cx - r, cy - r, cx + r, cy + r], fill=int(255 * (darkest + 1) / 2))
    shade = shade.filter(ImageFilter.GaussianBlur(r / 2))
    return with_image(scene, ImageChops.multiply(ImageChops.multiply(scene.image, ramp), shade))


def blot(scene, symbol_index, module, x, y, size_x, size_y, shade):
    """Paints over a rectangle of modules of a symbol drawn straight by render()."""
    placed = scene.placed[symbol_index]
    ox, oy = placed.corners[0]
    draw = ImageDraw.Draw(scene.image)
    draw.rectangle([ox + x * module, oy + y * module, ox + (x + size_x) * module - 1,
                    oy + (y + size_y) * module - 1], fill=shade)
    return scene


# ---------------------------------------------------------------------------
# Contents
# ---------------------------------------------------------------------------

ASCII = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:;-_/+*%$#@!?()"
ALNUM = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:"


def random_text(rng, alphabet, length):
    return "".join(rng.choice(alphabet) for _ in range(length))


def version_level_symbol(rng, version, level, encoder):
    """A symbol of exactly this version and level, filled to 60-95% of its byte capacity."""
    length = max(1, int(byte_capacity(version, level) * rng.uniform(0.6, 0.95)))
    text = random_text(rng, ASCII, length)
    if encoder == "segno":
        return segno_symbol(text, level, version=version)
    if encoder == "python-qrcode":
        return pyqrcode_symbol(text, level, version)
    if encoder == "qrencode":
        return qrencode_symbol(text, level, version, eight_bit=True)
    return zint_symbol(text, level, version=version)


ENCODERS = ["segno", "python-qrcode", "qrencode", "zint"]


def mode_symbols():
    """Each segment mode and character-set rule, one symbol each."""
    latin1 = "café crème brûlée"
    return [
        ("numeric", segno_symbol("31415926535897932384626433832795028841971693993751", "M", mode="numeric")),
        ("numeric", qrencode_symbol("0123456789" * 12, "Q")),
        ("alnum", segno_symbol("HELLO WORLD $%*+-./: 0123", "Q", mode="alphanumeric")),
        ("alnum", zint_symbol("ZENQAR-QR/TEST:42 $%*+", "H")),
        ("byte", segno_symbol("Plain bytes: lower case, punctuation {}[]<>~", "L", mode="byte")),
        ("byte", pyqrcode_symbol("https://example.com/?q=zenqar&lang=en", "M", None)),
        # Byte data without ECI: UTF-8 when it is valid UTF-8...
        ("byte_utf8", segno_symbol("Grüße, 中文 ✓", "M", data="Grüße, 中文 ✓".encode("utf-8"))),
        ("byte_utf8", qrencode_symbol("二维码 QR コード", "L", eight_bit=True)),
        # ...and ISO-8859-1 when it is neither UTF-8 nor GBK (a trailing high byte).
        ("byte_latin1", segno_symbol(latin1, "M", data=latin1.encode("latin-1"))),
        ("eci_utf8", segno_symbol("ECI UTF-8: Grüße 中文 Ελληνικά", "M", encoding="utf-8", eci=True)),
        ("eci_utf8", zint_symbol("ECI 26: Привет, 世界", "Q", eci=26)),
        ("eci_latin1", zint_symbol("ECI 3: Ünïcödé àçcéntß", "M", eci=3)),
        ("eci_gb2312", zint_symbol("ECI 29: 中文二维码", "M", eci=29)),
        ("eci_sjis", zint_symbol("ECI 20: 日本語テキスト", "L", eci=20)),
        ("kanji", segno_symbol("漢字モード", "M", mode="kanji")),
        ("kanji", qrencode_symbol("点茗漢字テスト", "H", data="点茗漢字テスト".encode("shift_jis"), kanji=True)),
        ("kanji", zint_symbol("日本の漢字", "Q")),
        ("mixed", zint_symbol("ABC123456789012abc漢字モード", "M")),
        ("mixed", qrencode_symbol("MIXED 0123456789012345 text 漢字", "M",
                                  data="MIXED 0123456789012345 text 漢字".encode("shift_jis"), kanji=True)),
        ("fnc1", gs1_symbol()),
    ]


def gs1_symbol():
    # GS1 element string with FNC1 in first position; fixed-length AIs need no separator.
    symbol = zint_symbol("[01]09501101020917[17]190508[10]ABCD1234", "M", gs1=True)
    symbol.text = "01095011010209171719050810ABCD1234"
    return symbol


def gbk_symbols():
    """Byte data in GBK without ECI, as Chinese generators write it."""
    out = []
    for text, encoder in [("中文", "segno"), ("二维码测试", "qrencode"), ("你好，世界！ABC 123", "zint"),
                          ("扫描二维码获取更多信息：第一百二十三号", "segno")]:
        data = text.encode("gbk")
        try:
            data.decode("utf-8")
            raise ValueError(f"{text!r} in GBK is also valid UTF-8")
        except UnicodeDecodeError:
            pass
        if encoder == "segno":
            out.append(segno_symbol(text, "M", data=data))
        elif encoder == "qrencode":
            out.append(qrencode_symbol(text, "Q", data=data, eight_bit=True))
        else:
            out.append(zint_symbol(text, "M", data=data))
    return out


def sjis_symbols():
    """Kanji mode, which carries Shift_JIS double-byte characters."""
    return [
        segno_symbol("日本語", "L", mode="kanji"),
        segno_symbol("東京都千代田区丸の内一丁目", "Q", mode="kanji"),
        qrencode_symbol("漢字", "M", data="漢字".encode("shift_jis"), kanji=True),
        zint_symbol("桜の花が咲きました", "H"),
    ]


def sa_sequences(rng):
    """Structured-append sequences: segno splits and computes the parity;
    zint gets each part and the parity from us."""
    out = []
    for count, level, text in [(2, "M", random_text(rng, ASCII, 90)),
                               (3, "L", random_text(rng, ALNUM, 150)),
                               (4, "Q", random_text(rng, "0123456789", 120))]:
        qrs = segno.make_sequence(text, symbol_count=count, error=level, boost_error=False)
        k, m = divmod(len(text), count)
        chunks = [text[i * k + min(i, m):(i + 1) * k + min(i + 1, m)] for i in range(count)]
        parity = segno.encoder.calc_structured_append_parity(text)
        out.append([Symbol(q.matrix, chunk, "segno", (i, count, parity))
                    for i, (q, chunk) in enumerate(zip(qrs, chunks))])
    parts = ["第一部分：", "第二部分，", "第三部分。"]
    parity = 0x5A
    out.append([zint_symbol(part, "M", structapp=(i + 1, len(parts), parity))
                for i, part in enumerate(parts)])
    for s, i in zip(out[-1], range(len(parts))):
        s.sa_position, s.sa_total, s.sa_parity = i, len(parts), parity
    return out


def random_symbol(rng, max_version=10):
    """A symbol of random version (up to max_version), level, encoder and text."""
    version = rng.randint(1, max_version)
    level = rng.choice(LEVELS)
    return version_level_symbol(rng, version, level, rng.choice(ENCODERS))


def base_symbols():
    """The symbols the transformed images start from: varied versions, modes and encodings."""
    return [
        segno_symbol("Zenqar transform test, version 1", "L", version=2),
        segno_symbol("https://example.com/qr?id=12345", "M", version=3),
        qrencode_symbol("QRENCODE 4-Q SAMPLE 0123456789", "Q", version=4),
        zint_symbol("zint H level sample text", "H", version=5),
        segno_symbol("漢字とかな", "M", mode="kanji", version=2),
        segno_symbol("中文二维码", "M", data="中文二维码".encode("gbk"), version=2),
        segno_symbol("ECI UTF-8 Grüße 中文", "Q", encoding="utf-8", eci=True, version=4),
        pyqrcode_symbol("python-qrcode " + "x" * 60, "M", 6),
    ]


# ---------------------------------------------------------------------------
# The corpus
# ---------------------------------------------------------------------------


class Corpus:
    def __init__(self, out_dir):
        self.out_dir = out_dir
        self.lines = []

    def add(self, category, name, scene, must=True, ext="png"):
        rel = f"{category}/{name}.{ext}"
        path = os.path.join(self.out_dir, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        image = scene.image
        if ext == "png":
            image.save(path, optimize=True)
        elif ext == "jpg":
            image.save(path, quality=92)
        elif ext == "ico":
            image.save(path, sizes=[image.size])
        elif ext == "gif":
            image.convert("P").save(path)
        else:
            image.save(path)
        self.lines.append("\t".join(["image", rel, category, "1" if must else "0",
                                     str(image.width), str(image.height)]))
        for p in scene.placed:
            s = p.symbol
            corners = ",".join(f"{v:.1f}" for point in p.corners for v in point)
            self.lines.append("\t".join(["symbol", str(s.version), s.level, str(s.mask), str(s.sa_position),
                                         str(s.sa_total), str(s.sa_parity), "1" if p.mirrored else "0",
                                         corners, s.text.encode("utf-8").hex(), s.encoder]))

    def write_manifest(self, seed, profile):
        with open(os.path.join(self.out_dir, "manifest.tsv"), "w", encoding="utf-8") as f:
            f.write(f"# generate_corpus.py --profile {profile} --seed {seed}\n")
            f.write("\n".join(self.lines) + "\n")


def category_rng(seed, category):
    # One stream per category, so adding a category leaves the others unchanged.
    return random.Random(f"{seed}:{category}")


def add_clean(corpus, seed, bench):
    rng = category_rng(seed, "version_level")
    for version in range(1, 41):
        for li, level in enumerate(LEVELS):
            encoder = ENCODERS[(version + li) % len(ENCODERS)]
            symbol = version_level_symbol(rng, version, level, encoder)
            corpus.add("version_level", f"v{version:02d}_{level}_{encoder}", render(symbol, 3))

    rng = category_rng(seed, "mask")
    for mask in range(8):
        corpus.add("mask", f"segno_v2_M_mask{mask}",
                   render(segno_symbol(random_text(rng, ASCII, 20), "M", version=2, mask=mask), 4))
        corpus.add("mask", f"zint_v7_Q_mask{mask}",
                   render(zint_symbol(random_text(rng, ASCII, 50), "Q", version=7, mask=mask), 3))

    for i, (category, symbol) in enumerate(mode_symbols()):
        corpus.add("mode", f"{i:02d}_{category}_{symbol.encoder}", render(symbol, 4))
    for i, symbol in enumerate(gbk_symbols()):
        corpus.add("gbk", f"{i:02d}_{symbol.encoder}", render(symbol, 4))
    for i, symbol in enumerate(sjis_symbols()):
        corpus.add("sjis_kanji", f"{i:02d}_{symbol.encoder}", render(symbol, 4))

    rng = category_rng(seed, "structured_append")
    for i, sequence in enumerate(sa_sequences(rng)):
        for symbol in sequence:
            corpus.add("structured_append",
                       f"seq{i}_{symbol.sa_position + 1}of{symbol.sa_total}_{symbol.encoder}", render(symbol, 4))
        corpus.add("structured_append_together", f"seq{i}_{sequence[0].encoder}",
                   compose([render(s, 3) for s in sequence]))

    rng = category_rng(seed, "multiple")
    for i in range(12 if bench else 5):
        count = rng.randint(2, 4)
        scenes = []
        for _ in range(count):
            scene = render(random_symbol(rng, 8), rng.choice([3, 4]))
            if rng.random() < 0.5:
                scene = rotate(scene, rng.uniform(0, 360))
            scenes.append(scene)
        corpus.add("multiple", f"{i:02d}_{count}_symbols", compose(scenes, columns=2 if count > 2 else None))


def transformed(rng, base, kind, severity):
    """One spoilt copy of a base symbol. severity runs from 0 (mild) to 1 (harsh)."""
    module = 4
    scene = render(base, module)
    if kind == "rotation":
        return rotate(scene, rng.uniform(0, 360))
    if kind == "perspective":
        return perspective(scene, rng, 0.05 + 0.10 * severity)
    if kind == "perspective_strong":
        return perspective(rotate(scene, rng.uniform(0, 360)), rng, 0.2 + 0.12 * severity)
    if kind == "blur":
        return blur(scene, module * (0.25 + 0.35 * severity))
    if kind == "noise":
        return add_noise(scene, rng, 20 + 40 * severity)
    if kind == "small_modules":
        return rescale(render(base, 8), (2.6 - 1.2 * severity) / 8)
    if kind == "jpeg":
        return jpeg(rescale(scene, 0.75), int(30 - 22 * severity))
    if kind == "inverted":
        return invert(rotate(scene, rng.uniform(0, 360)) if rng.random() < 0.5 else scene)
    if kind == "mirrored":
        return mirror(rotate(scene, rng.uniform(0, 360)) if rng.random() < 0.5 else scene, rng)
    if kind == "low_contrast":
        dark = rng.randint(80, 140)
        return contrast(scene, dark, dark + int(60 - 35 * severity))
    if kind == "uneven_light":
        return uneven_light(scene, rng, 0.45 - 0.3 * severity)
    if kind == "photo":
        scene = perspective(rotate(scene, rng.uniform(0, 360)), rng, 0.04 + 0.08 * severity)
        scene = uneven_light(scene, rng, 0.6 - 0.2 * severity)
        scene = add_noise(blur(scene, 0.8 + 1.2 * severity), rng, 8 + 12 * severity)
        return jpeg(scene, int(60 - 30 * severity))
    raise ValueError(kind)


TRANSFORMS = ["rotation", "perspective", "perspective_strong", "blur", "noise", "small_modules", "jpeg",
              "inverted", "mirrored", "low_contrast", "uneven_light", "photo"]
# Kinds a reader need not master: the committed corpus keeps them as stretch goals.
HARD = {"perspective_strong", "photo"}


def add_transformed(corpus, seed, bench):
    bases = base_symbols()
    for kind in TRANSFORMS:
        rng = category_rng(seed, kind)
        count = 40 if bench else 6
        for i in range(count):
            base = bases[i % len(bases)]
            # The committed corpus stays mild; the bench grades severity across the range.
            severity = i / (count - 1) if bench else 0.4 * i / (count - 1)
            scene = transformed(rng, base, kind, severity)
            corpus.add(kind, f"{i:02d}_v{base.version}_{base.level}_s{int(severity * 100):02d}", scene,
                       must=kind not in HARD)


def add_damage(corpus, seed):
    """Stains within and beyond what Reed-Solomon can correct."""
    rng = category_rng(seed, "damage")
    for i, version in enumerate([1, 3, 5]):
        symbol = segno_symbol(random_text(rng, ASCII, byte_capacity(version, "H") * 4 // 5), "H", version=version)
        n = symbol.size
        k = max(3, n // 5)
        scene = render(symbol, 4)
        # Left of the middle, clear of the finders, timing row and the alignment pattern.
        corpus.add("ec_damage", f"{i:02d}_v{version}_H", blot(scene, 0, 4, 9, n // 2 - k // 2, k, k, 0))
    for i, version in enumerate([2, 4]):
        symbol = segno_symbol(random_text(rng, ASCII, 20), "L", version=version)
        n = symbol.size
        scene = render(symbol, 4)
        # Half of the data area: far beyond level L; no reader may report anything.
        corpus.add("none", f"damaged_{i:02d}_v{version}_L",
                   Scene(blot(scene, 0, 4, 9, 9, n - 9, (n - 9) // 2, 255).image, []))


def add_negatives(corpus, seed):
    """Images without any symbol: noise, stripes, text-like marks and lone finder patterns."""
    rng = category_rng(seed, "none")
    noise = Image.frombytes("L", (160, 160), rng.randbytes(160 * 160))
    corpus.add("none", "noise", Scene(noise, []))
    stripes = Image.new("L", (200, 120), 255)
    draw = ImageDraw.Draw(stripes)
    for x in range(0, 200, 6):
        draw.rectangle([x, 0, x + rng.randint(1, 4), 119], fill=0)
    corpus.add("none", "stripes", Scene(stripes, []))
    finders = Image.new("L", (200, 200), 255)
    draw = ImageDraw.Draw(finders)
    for ox, oy in [(20, 20), (130, 20), (20, 130)]:
        draw.rectangle([ox, oy, ox + 48, oy + 48], fill=0)
        draw.rectangle([ox + 7, oy + 7, ox + 41, oy + 41], fill=255)
        draw.rectangle([ox + 14, oy + 14, ox + 34, oy + 34], fill=0)
    corpus.add("none", "lone_finders", Scene(finders, []))
    blank = Image.new("L", (64, 48), 255)
    corpus.add("none", "blank", Scene(blank, []))


def add_formats(corpus):
    """One symbol in each file type the Windows library reads."""
    symbol = segno_symbol("PsyQrDcd 格式测试", "M", encoding="utf-8", eci=True, version=3)
    scene = render(symbol, 4)
    for ext in ["bmp", "gif", "jpg", "png", "tif", "ico"]:
        corpus.add("formats", f"sample_{ext}", scene, ext=ext)


def add_large(corpus):
    """A small symbol in a picture larger than the Windows library hands to the reader whole."""
    symbol = segno_symbol("20 megapixels, one symbol", "Q", version=3)
    scene = render(symbol, 12, border=0)
    canvas = Image.new("L", (5000, 4000), 255)
    offset = (3170, 2230)
    canvas.paste(scene.image, offset)
    placed = [Placed(symbol, [(x + offset[0], y + offset[1]) for x, y in scene.placed[0].corners])]
    corpus.add("large", "v03_in_20_megapixels", Scene(canvas, placed))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--profile", choices=["small", "bench"], default="small")
    parser.add_argument("--seed", type=int, default=5)
    args = parser.parse_args()
    bench = args.profile == "bench"
    corpus = Corpus(args.out)
    add_clean(corpus, args.seed, bench)
    add_transformed(corpus, args.seed, bench)
    add_damage(corpus, args.seed)
    add_negatives(corpus, args.seed)
    if not bench:
        add_formats(corpus)
        add_large(corpus)
    corpus.write_manifest(args.seed, args.profile)


if __name__ == "__main__":
    main()
