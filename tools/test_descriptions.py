#!/usr/bin/env python3
"""Tests of the description check and the scramble tool: python3 tools/test_descriptions.py

The shipped library must pass the check, and each mistake that the tester would silently turn
into wrong items must make the check fail with a message that names it. Every case starts
from a copy of the real Xml/ and SVG/ folders and breaks one thing.
"""

import contextlib
import io
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_descriptions  # noqa: E402
import xml_scramble  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DIGITAL = "Xml/TarnBUS-Digital.xml"
ANALOG = "Xml/TarnBUS-Analog.xml"


def run_check(root, *extra):
    out = io.StringIO()
    with contextlib.redirect_stdout(out):
        status = check_descriptions.main([os.path.join(root, "Xml")] + list(extra))
    return status, out.getvalue()


class LibraryCopy:
    """A scratch copy of the library in which a test breaks one thing."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="tarnbus-xml-")
        for folder in ("Xml", "SVG"):
            shutil.copytree(os.path.join(REPO, folder), os.path.join(self.root, folder))

    def path(self, relative):
        return os.path.join(self.root, relative)

    def read(self, relative):
        with open(self.path(relative), "rb") as handle:
            data = handle.read()
        if xml_scramble.is_scrambled(data):
            data = xml_scramble.unscramble(data)
        return data.decode("utf-8")

    def write(self, relative, text, scrambled):
        data = text.encode("utf-8")
        if scrambled:
            data = xml_scramble.MARKER + xml_scramble.invert(data)
        with open(self.path(relative), "wb") as handle:
            handle.write(data)

    def replace(self, relative, old, new):
        text = self.read(relative)
        if old not in text:
            raise AssertionError("%r not found in %s: the test no longer fits the library" % (old, relative))
        with open(self.path(relative), "rb") as handle:
            scrambled = xml_scramble.is_scrambled(handle.read())
        self.write(relative, text.replace(old, new, 1), scrambled)

    def remove(self):
        shutil.rmtree(self.root)


class ShippedLibrary(unittest.TestCase):
    def test_passes_the_check(self):
        status, out = run_check(REPO)
        self.assertEqual(status, 0, out)
        self.assertIn("14 modules, 0 errors", out)

    def test_analog_family_is_stored_scrambled(self):
        with open(os.path.join(REPO, ANALOG), "rb") as handle:
            data = handle.read()
        self.assertTrue(data.startswith(xml_scramble.MARKER))
        self.assertTrue(xml_scramble.unscramble(data).startswith(b'<?xml version="1.0" encoding="UTF-8"?>'))


# (case, file, edits, message the check must print); each edit (old, new) replaces the
# first occurrence of old that is left.
MISTAKES = [
    ("input PDO named like the output group", DIGITAL,
     [("<Name>RXPDO</Name>", "<Name>TXPDO</Name>")], "is the tester's RXPDO group"),
    ("upper-case hex in the input PDO index", ANALOG,
     [("<Index>#x1a00</Index>", "<Index>#x1A00</Index>")], "must contain '#x1a00'"),
    ("parameter key spelt differently", DIGITAL,
     [("<Name>Filter level</Name>", "<Name>Filter Level</Name>")] * 2, "must be named 'Filter level'"),
    ("info entry naming no sub-item", DIGITAL,
     [("<SubItem><Name>Substitute value</Name>", "<SubItem><Name>Substitute</Name>")], "is no sub-item"),
    ("default value one byte short", ANALOG,
     [("<SubItem><Name>Substitute value</Name><Info><DefaultData>0000</DefaultData>",
       "<SubItem><Name>Substitute value</Name><Info><DefaultData>00</DefaultData>")], "UINT needs 2"),
    ("default value that is no hex", DIGITAL,
     [("<DefaultData>03</DefaultData>", "<DefaultData>3ms</DefaultData>")], "is not hexadecimal"),
    ("data type's own Name after its sub-items", DIGITAL,
     [("<Name>CFG_1101</Name>\n            <BitSize>28</BitSize>", "<BitSize>28</BitSize>"),
      ("</SubItem>\n          </DataType>\n          <DataType>\n            <Name>INFO_1101</Name>",
       "</SubItem>\n            <Name>CFG_1101</Name>\n          </DataType>\n          <DataType>\n"
       "            <Name>INFO_1101</Name>")],
     "comes after a nested <Name>"),
    ("number attribute with a unit", DIGITAL,
     [('ChannelCount="16"', 'ChannelCount="16ch"')], "is not a decimal number"),
    ("typo in an element name", DIGITAL,
     [("<ParamType>Enable</ParamType>", "<Paramtype>Enable</Paramtype>")], "is not read by the tester"),
    ("unknown style text", ANALOG,
     [("<Style>ComboBox</Style>", "<Style>Combobox</Style>")], "Style 'Combobox' is unknown"),
    ("enumeration not counting from 0", DIGITAL,
     [("<Text>关闭</Text><Enum>0</Enum>", "<Text>关闭</Text><Enum>7</Enum>")], "must run 0, 1, 2"),
    ("enumerated type missing", DIGITAL,
     [("<Type>DT_FIELDBUS_ERROR</Type>", "<Type>DT_FIELDBUS_FAULT</Type>")], "names no enumerated data type"),
    ("one PDO entry too many", DIGITAL,
     [("<Name>DI7</Name>", "<Name>DI7</Name></Entry><Entry><Index>#x6000</Index><SubIndex>9</SubIndex>"
       "<BitLen>1</BitLen><Name>DI8</Name><DataType>BOOL</DataType><Flags><Access>ro</Access></Flags>")],
     "9 entries, expected 8"),
    ("fault flag missing from BASIC INFO", DIGITAL,
     [("<SubItem><Name>Watchdog</Name><Info><DefaultData>6E6F726D616C</DefaultData></Info></SubItem>", "")],
     "make 12"),
    ("station item not first", DIGITAL,
     [("<SubItem><Name>Station number</Name><Info><DefaultData>00</DefaultData></Info></SubItem>", "")],
     "first item must be the station item"),
    ("module without its picture", DIGITAL,
     [('Image="TB-DO8-T.svg"', 'Image="TB-DO8.svg"')], "picture missing"),
    ("same module described in both files", ANALOG,
     [('ModuleIdent="#00002102"', 'ModuleIdent="#00001102"')], "also described in"),
    ("module key in lower-case hex", DIGITAL,
     [('ModuleIdent="#00001101"', 'ModuleIdent="#0000110a"')], "upper-case hex digits"),
    ("picture without the station number", "SVG/Digital/TB-DI8-N.svg",
     [('id="number"', 'id="station"')], "no <text id='number'>"),
    ("picture whose number text starts with an element", "SVG/Analog/TB-AO4-V.svg",
     [('fill="#263238">0</text>', 'fill="#263238"><tspan>0</tspan></text>')], "must start with a text node"),
    ("lamp path that starts lit", "SVG/lamp.svg",
     [('fill="#666666"', 'fill="#e53935"')], "every lamp <path>"),
    ("capacity box visible from the start", "SVG/DataCapacity123.svg",
     [('<rect id="mess" x="1" y="1" width="138" height="38" rx="3" fill="#FFF3E0" stroke="#E65100" '
       'stroke-width="1.5" visibility="hidden"/>',
       '<rect id="mess" x="1" y="1" width="138" height="38" rx="3" fill="#FFF3E0"/>')], "must start hidden"),
    ("picture too tall for the row pitch", "SVG/Digital/TB-DI16-P.svg",
     [('height="140"', 'height="150"')], "overruns the 230 px row pitch"),
    ("CSS class in a picture", "SVG/Digital/TB-DO16-T.svg",
     [('<line x1="4"', '<line class="sep" x1="4"')], "CSS classes"),
]


class Mistakes(unittest.TestCase):
    def test_each_mistake_is_reported(self):
        for case, relative, edits, message in MISTAKES:
            with self.subTest(case):
                copy = LibraryCopy()
                try:
                    for old, new in edits:
                        copy.replace(relative, old, new)
                    status, out = run_check(copy.root)
                finally:
                    copy.remove()
                self.assertEqual(status, 1, out)
                self.assertIn(message, out)

    def test_doubly_scrambled_file_is_reported(self):
        copy = LibraryCopy()
        try:
            with open(copy.path(ANALOG), "rb") as handle:
                once = handle.read()
            with open(copy.path(ANALOG), "wb") as handle:
                handle.write(xml_scramble.MARKER + xml_scramble.invert(once))
            status, out = run_check(copy.root)
        finally:
            copy.remove()
        self.assertEqual(status, 1)
        self.assertIn("no XML declaration", out)

    def test_plain_source_left_in_the_folder_is_reported(self):
        copy = LibraryCopy()
        try:
            copy.write("Xml/TarnBUS-Analog-plain.xml", copy.read(ANALOG), scrambled=False)
            status, out = run_check(copy.root)
        finally:
            copy.remove()
        self.assertEqual(status, 1)
        self.assertIn("also described in", out)


class Scramble(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="tarnbus-scramble-")
        self.plain = os.path.join(self.folder, "family.xml")
        self.text = '<?xml version="1.0" encoding="UTF-8"?>\n<TarnBus imageDir="Analog"><Module/></TarnBus>\n'
        with open(self.plain, "wb") as handle:
            handle.write(self.text.encode("utf-8"))

    def tearDown(self):
        shutil.rmtree(self.folder)

    def run_tool(self, *args):
        err = io.StringIO()
        with contextlib.redirect_stderr(err):
            status = xml_scramble.main(list(args))
        return status, err.getvalue()

    def content(self, path):
        with open(path, "rb") as handle:
            return handle.read()

    def test_round_trip_in_place(self):
        self.assertEqual(self.run_tool("scramble", self.plain)[0], 0)
        data = self.content(self.plain)
        self.assertEqual(data[:4], bytes([0xFE, 0xFC, 0xFD, 0xFE]))
        self.assertEqual(data[4], 0xFF - ord("<"))
        self.assertEqual(self.run_tool("unscramble", self.plain)[0], 0)
        self.assertEqual(self.content(self.plain), self.text.encode("utf-8"))
        self.assertEqual(os.listdir(self.folder), ["family.xml"])

    def test_refuses_to_scramble_twice(self):
        self.run_tool("scramble", self.plain)
        once = self.content(self.plain)
        status, err = self.run_tool("scramble", self.plain)
        self.assertEqual(status, 1)
        self.assertIn("already scrambled", err)
        self.assertEqual(self.content(self.plain), once)

    def test_refusals_leave_the_file_alone(self):
        cases = [("unscramble", self.text, "not scrambled"),
                 ("scramble", "<TarnBus><Module></TarnBus>", "not well-formed"),
                 ("scramble", "", "not well-formed")]
        for action, text, message in cases:
            with self.subTest(action=action, text=text):
                with open(self.plain, "wb") as handle:
                    handle.write(text.encode("utf-8"))
                status, err = self.run_tool(action, self.plain)
                self.assertEqual(status, 1)
                self.assertIn(message, err)
                self.assertEqual(self.content(self.plain), text.encode("utf-8"))

    def test_writes_to_another_file(self):
        target = os.path.join(self.folder, "scrambled.xml")
        self.assertEqual(self.run_tool("scramble", self.plain, "-o", target)[0], 0)
        self.assertEqual(self.content(self.plain), self.text.encode("utf-8"))
        self.assertEqual(xml_scramble.unscramble(self.content(target)), self.text.encode("utf-8"))


if __name__ == "__main__":
    unittest.main()
