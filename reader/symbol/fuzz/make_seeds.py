#!/usr/bin/python3
"""Writes the seed corpora of the two fuzzers (run with Debian's /usr/bin/python3,
which has segno). The seeds are committed; rerun only to change them."""

import os

import segno

HERE = os.path.dirname(os.path.abspath(__file__))


def grid_seed(symbol):
    """First byte: odd, the version's size; then the modules, one bit each."""
    rows = [list(row) for row in symbol.matrix]
    size = len(rows)
    version = (size - 17) // 4
    bits = [1 if module else 0 for row in rows for module in row]
    bits += [0] * (-len(bits) % 8)
    packed = bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))
    return bytes([1 + 2 * (version - 1)]) + packed


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as out:
        out.write(data)


def main():
    symbols = {
        "numeric_v1": segno.make_qr("0123456789", version=1, error="m"),
        "alnum_v2": segno.make_qr("HELLO WORLD", version=2, error="q"),
        "bytes_v5": segno.make_qr("Zenqar 二维码 reader", version=5, error="h", encoding="utf-8"),
        "kanji_v3": segno.make_qr("漢字", version=3, mode="kanji"),
        "eci_v4": segno.make_qr("ÄÖÜ", version=4, eci=True, encoding="utf-8"),
        "v7_version_info": segno.make_qr("version seven", version=7, error="l"),
    }
    for name, symbol in symbols.items():
        write("symbol_decode_fuzz_corpus", name, grid_seed(symbol))
    write("symbol_decode_fuzz_corpus", "bad_size", bytes([44]) + bytes(60))

    # Segment streams: version byte, then data codewords.
    segments = {
        "numeric": bytes([0, 0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11]),
        "byte_gbk": bytes([0, 0x40, 0x4D, 0x6D, 0x0C, 0xEC, 0x40, 0xEC, 0x11]),
        "eci_utf8": bytes([0, 0x71, 0xA4, 0x02, 0xC3, 0xA9, 0x00, 0xEC]),
        "kanji": bytes([0, 0x80, 0x23, 0x9F, 0xD0, 0xD0, 0x00]),
        "append_fnc1": bytes([9, 0x31, 0x35, 0xA5, 0x52, 0x01, 0x7A, 0x00]),
        "hanzi": bytes([0, 0xD1, 0x01, 0x91, 0x2F, 0x00]),
    }
    for name, data in segments.items():
        write("segment_decode_fuzz_corpus", name, data)


if __name__ == "__main__":
    main()
