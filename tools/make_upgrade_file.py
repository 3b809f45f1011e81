#!/usr/bin/env python3
"""Writes a valid upgrade file (.dec) around a firmware body.

    tools/make_upgrade_file.py BODY OUT [--category TEXT] [--version "WORD VERSION"] [--tag TEXT]
    tools/make_upgrade_file.py --body-size N OUT ...      (a generated body of N bytes)

The header is 96 bytes, integers little-endian, texts Latin-1 padded with NUL:
    0  tag (4)           12 category (16)       28 version text (24): "<word> <a.b.c>"
    76 body CRC-32       88 body length         92 CRC-32 of header bytes 0..91
Both checksums are zlib's CRC-32. The tester shows the category and the
second word of the version text, and compares that word with a device's
App version. The virtual adapter takes its new App version from it.
"""

import argparse
import struct
import sys
import zlib

HEADER_SIZE = 96


def text_field(text, size, name):
    data = text.encode("latin-1")
    if len(data) > size:
        sys.exit(f"{name} is longer than {size} bytes: {text!r}")
    return data.ljust(size, b"\0")


def header(body, category, version, tag):
    head = bytearray(HEADER_SIZE)
    head[0:4] = text_field(tag, 4, "tag")
    head[12:28] = text_field(category, 16, "category")
    head[28:52] = text_field(version, 24, "version")
    struct.pack_into("<I", head, 76, zlib.crc32(body) & 0xFFFFFFFF)
    struct.pack_into("<I", head, 88, len(body))
    struct.pack_into("<I", head, 92, zlib.crc32(bytes(head[0:92])) & 0xFFFFFFFF)
    return bytes(head)


def generated_body(size):
    # Not all one value, so that a misplaced block shows.
    return bytes((i * 7 + (i >> 10)) & 0xFF for i in range(size))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("body", nargs="?", help="file holding the firmware body")
    parser.add_argument("out", help="upgrade file to write")
    parser.add_argument("--body-size", type=int, help="generate a body of this many bytes instead of reading one")
    parser.add_argument("--category", default="TBC-U100")
    parser.add_argument("--version", default="TBC 2.2.0", help='two words: "<name> <a.b.c>"')
    parser.add_argument("--tag", default="TBUP")
    args = parser.parse_args()

    if (args.body is None) == (args.body_size is None):
        parser.error("give either BODY or --body-size")
    if args.body_size is not None:
        if args.body_size < 0:
            parser.error("--body-size must not be negative")
        body = generated_body(args.body_size)
    else:
        with open(args.body, "rb") as f:
            body = f.read()

    content = header(body, args.category, args.version, args.tag) + body
    with open(args.out, "wb") as f:
        f.write(content)
    print(f"{args.out}: {len(content)} bytes, {(len(content) + 1023) // 1024} blocks")


if __name__ == "__main__":
    main()
