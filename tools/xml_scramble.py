#!/usr/bin/env python3
"""Scramble or unscramble a TarnBUS device-description file.

The tester reads description files either as plain XML or in its scrambled form: the four
marker bytes FE FC FD FE followed by the XML text with every byte inverted (b -> 0xFF - b).
There is no key; the form only keeps casual editors away from a family's file.

Editing the analog family (Xml/TarnBUS-Analog.xml is stored scrambled). Its plain text must
never sit in Xml/, because the tester loads every file of that folder and would load the family
twice:

    python3 tools/xml_scramble.py unscramble Xml/TarnBUS-Analog.xml -o /tmp/TarnBUS-Analog.xml
    ... edit /tmp/TarnBUS-Analog.xml ...
    python3 tools/xml_scramble.py scramble /tmp/TarnBUS-Analog.xml -o Xml/TarnBUS-Analog.xml
    python3 tools/check_descriptions.py
    rm /tmp/TarnBUS-Analog.xml

To read it without writing anything: `python3 tools/xml_scramble.py unscramble
Xml/TarnBUS-Analog.xml -o -`. Without -o a file is converted in place.

`scramble` refuses a file that is already scrambled (scrambling twice would make it unreadable
for the tester, which unscrambles only once) and a file that is not well-formed UTF-8 XML;
`unscramble` refuses a file that is not scrambled. Results are written to a temporary file
beside the target and then moved over it, so an interrupted run never leaves half a file.
Python 3 standard library only.
"""

import argparse
import os
import sys
import tempfile
import xml.etree.ElementTree as ET

MARKER = bytes([0xFE, 0xFC, 0xFD, 0xFE])


class ScrambleError(Exception):
    pass


def invert(data):
    return bytes(0xFF - b for b in data)


def is_scrambled(data):
    return data[:4] == MARKER


def scramble(data):
    if is_scrambled(data):
        raise ScrambleError("already scrambled; refusing to scramble it twice")
    try:
        data.decode("utf-8")
        ET.fromstring(data)
    except (UnicodeDecodeError, ET.ParseError) as failure:
        raise ScrambleError("not well-formed UTF-8 XML (%s); refusing to scramble it" % failure)
    return MARKER + invert(data)


def unscramble(data):
    if not is_scrambled(data):
        raise ScrambleError("not scrambled (no FE FC FD FE marker)")
    return invert(data[4:])


def write_replacing(path, data):
    folder = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(prefix=".scramble-", dir=folder)
    try:
        with os.fdopen(handle, "wb") as out:
            out.write(data)
        if os.path.exists(path):
            os.chmod(temporary, os.stat(path).st_mode & 0o777)
        else:
            os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def main(argv=None):
    parser = argparse.ArgumentParser(description="Scramble or unscramble a TarnBUS description file.")
    parser.add_argument("action", choices=["scramble", "unscramble"])
    parser.add_argument("input", help="file to read")
    parser.add_argument("-o", "--output", help="file to write, - for standard output (default: in place)")
    args = parser.parse_args(argv)
    try:
        with open(args.input, "rb") as handle:
            data = handle.read()
        result = scramble(data) if args.action == "scramble" else unscramble(data)
        if args.output == "-":
            sys.stdout.buffer.write(result)
        else:
            write_replacing(args.output or args.input, result)
    except (OSError, ScrambleError) as failure:
        print("%s: %s" % (args.input, failure), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
