#!/usr/bin/env python3
"""Check the TarnBUS device-description library and its pictures.

    python3 tools/check_descriptions.py [XML_FOLDER] [--svg SVG_FOLDER] [--no-catalogue]

XML_FOLDER defaults to Xml/ of this repository, SVG_FOLDER to the SVG/ folder beside it.

Every file of the folder is read the way the tester reads it at start-up: scrambled files
(marker FE FC FD FE, then every byte inverted) are unscrambled, elements are found by tag name
with a depth-first search that takes the first match, names and keywords are compared exactly,
numbers are decimal and anything else reads as 0. The tester never complains about a bad
description, it just builds wrong items, so this script is where mistakes have to surface:
every inconsistency is reported with the module it belongs to, and the exit status is 1 when
there is any error.

Besides the descriptions it checks the module pictures named by the `Image` attributes and the
topology templates, prints a table of the modules found and, unless --no-catalogue is given,
compares the library with the product catalogue that the virtual adapter shares.
Python 3 standard library only; runs `xmllint --noout` on every file when xmllint is installed.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

MARKER = bytes([0xFE, 0xFC, 0xFD, 0xFE])

# Data type texts: code and value size in bytes (None = variable length text).
DATA_TYPES = {
    "BOOL": (0, 1), "Bits": (1, 1), "CHAR": (2, 1), "INT": (3, 2), "UINT": (4, 2),
    "DINT": (5, 4), "UDINT": (6, 4), "STRING": (7, None), "STRING_SN": (8, None),
}
NUMERIC_TYPES = {"BOOL", "Bits", "CHAR", "INT", "UINT", "DINT", "UDINT"}

# ParamType texts and codes; 0 (no ParamType) marks the station item.
PARAM_TYPES = {
    "DI": 1, "DO": 2, "AI": 3, "AO": 4, "Filter": 5, "Enable": 6, "Substitute": 7,
    "Speedgear": 8, "Direction": 9, "Speedacc": 10, "Brake": 11, "CCW": 12, "Hall": 13,
    "Learn": 14, "ACC": 15, "DEC": 16, "RPM": 17, "VOLT": 18, "POWER": 19, "MAX_RPM": 20,
    "HALL": 21, "Fault": 22,
}
# A parameter item's Name is the key of the slave's parameter map, so it must be exactly this.
PARAM_KEYS = {
    5: "Filter level", 6: "Fieldbus error with output", 7: "Substitute value",
    8: "Speed gear", 9: "Direction", 10: "Speed acc", 11: "Brake", 12: "CW/CCW",
    13: "Hall mode", 14: "Motor Learning", 15: "ACC", 16: "DEC", 17: "RPM", 18: "VOLT",
    19: "POWER", 20: "MAX_RPM", 21: "HALL phase", 22: "Fault code",
}
# The parameter editor writes the selected combo index into a field of this many bits.
ENUM_FIELD_BITS = {5: 3, 6: 1, 8: 2, 9: 1, 10: 3, 11: 2, 12: 1, 13: 1, 14: 1,
                   15: 3, 16: 3, 17: 4, 18: 1, 19: 5}
STYLES = {"Label", "LineEdit", "CheckBox", "ComboBox", "ComboBox_Lalbe", "CirleBtn"}
MODULE_CLASSES = {"DI": 0, "DO": 1, "DIO": 2, "DIDO": 3, "AI": 4, "AO": 5, "AIO": 6, "AIAO": 7}
INPUT_CLASSES = {"DI", "DIO", "DIDO", "AI", "AIO", "AIAO"}
OUTPUT_CLASSES = {"DO", "DIO", "DIDO", "AO", "AIO", "AIAO"}
ANALOG_CLASSES = {"AI", "AO", "AIO", "AIAO"}
FALLBACK_IDENT = "#00000000"

TYPE_TEXT_ATTRS = ["ModuleClass", "ModuleIdent", "Image"]
TYPE_NUMBER_ATTRS = ["BitSize", "ChannelCount", "SuportChangeableChannel", "supportSpeed",
                     "SuportERDC3", "InputChannelCount", "OutputChannelCount", "InputOffs",
                     "OutputOffs", "InputChannelOffs", "OutputChannelOffs"]
ROOT_ATTRS = ["manufacturer", "protcolVersion", "imageDir"]

# Children each element may have; the reader ignores anything else, which hides typos.
ALLOWED_CHILDREN = {
    "Module": {"Type", "Name", "Profile", "TxPdo", "RxPdo"},
    "Profile": {"Dictionary"},
    "Dictionary": {"DataTypes", "Objects"},
    "DataTypes": {"DataType"},
    "DataType": {"Name", "BitSize", "BaseType", "SubItem", "EnumInfo"},
    "EnumInfo": {"Text", "Enum"},
    "SubItem": {"SubIdx", "Name", "Type", "BitSize", "BitOffs", "CountOffs", "BaseType",
                "Style", "ParamType", "Flags"},
    "Flags": {"Access"},
    "Objects": {"Object"},
    "Object": {"Index", "Name", "Type", "BitSize", "Info"},
    "Pdo": {"Index", "Name", "Entry"},
    "Entry": {"Index", "SubIndex", "BitLen", "Name", "DataType", "Flags"},
}

BASIC_INFO_TYPES = ["STRING", "STRING_SN", "CHAR", "CHAR"] + ["STRING"] * 8
BASIC_INFO_FIXED_NAMES = {4: "Communication error", 5: "Configuration error"}

# Pictures and layout of the topology view.
MODULE_SLOT_WIDTH = 80        # modules sit 80 px apart
MODULE_X_IN_SLOT = 2          # a module picture is placed 2 px into its slot
MODULE_OVERLAP = 4            # ... and 4 px above the bottom of its bus-line piece
ROW_PITCH = 230               # rows of modules are 230 px apart
LEFT_CONNECTOR_WIDTH = 78     # line4.svg ends where the first module column begins
TEMPLATES = {
    "TarnBUS.svg": [], "line.svg": [], "line1.svg": [], "line3.svg": [], "line4.svg": [],
    "lamp.svg": [], "DataCapacity123.svg": [("rect", "mess"), ("text", "tmess")],
}
FORBIDDEN_SVG = {"style", "filter", "foreignObject", "mask", "clipPath", "pattern", "marker",
                 "script", "image", "symbol"}

# The product catalogue shared with the virtual adapter:
# key, class, type name, ChannelCount, BitSize, inputs, outputs, changeable, InputOffs,
# OutputOffs, file.
CATALOGUE = [
    ("#00001101", "DI", "TB-DI8-N", 8, 1, 8, 0, 0, 0, 0, "TarnBUS-Digital.xml"),
    ("#00001102", "DI", "TB-DI16-P", 16, 1, 16, 0, 0, 0, 0, "TarnBUS-Digital.xml"),
    ("#00001103", "DI", "TB-DI32-P", 32, 1, 32, 0, 0, 0, 0, "TarnBUS-Digital.xml"),
    ("#00001201", "DO", "TB-DO8-T", 8, 1, 0, 8, 0, 0, 0, "TarnBUS-Digital.xml"),
    ("#00001202", "DO", "TB-DO16-T", 16, 1, 0, 16, 0, 0, 0, "TarnBUS-Digital.xml"),
    ("#00001301", "DIO", "TB-DIO8-C", 8, 1, 8, 8, 1, 0, 0, "TarnBUS-Digital.xml"),
    ("#00001302", "DIO", "TB-DIO16-D", 16, 1, 16, 16, 0, 1, 1, "TarnBUS-Digital.xml"),
    ("#00001401", "DIDO", "TB-DI8DO8-P", 8, 1, 8, 8, 0, 0, 0, "TarnBUS-Digital.xml"),
    ("#00000000", "DI", "TB-XX-?", 0, 1, 0, 0, 0, 0, 0, "TarnBUS-Digital.xml"),
    ("#00002101", "AI", "TB-AI4-I", 4, 16, 4, 0, 0, 0, 0, "TarnBUS-Analog.xml"),
    ("#00002102", "AI", "TB-AI8-V", 8, 16, 8, 0, 0, 0, 0, "TarnBUS-Analog.xml"),
    ("#00002201", "AO", "TB-AO4-V", 4, 16, 0, 4, 0, 0, 0, "TarnBUS-Analog.xml"),
    ("#00002301", "AIO", "TB-AIO4-U", 4, 16, 4, 4, 0, 0, 0, "TarnBUS-Analog.xml"),
    ("#00002401", "AIAO", "TB-AI2AO2-V", 2, 16, 2, 2, 0, 0, 0, "TarnBUS-Analog.xml"),
]
SCRAMBLED_FILES = {"TarnBUS-Analog.xml"}
# A module type the catalogue keeps undescribed on purpose.
UNDESCRIBED_IDENT = "#00007E57"

DECIMAL = re.compile(r"^[+-]?[0-9]+$")
HEX_BYTES = re.compile(r"^(?:[0-9A-Fa-f]{2})*$")
IDENT = re.compile(r"^#0000[0-9A-F]{4}$")
SVG_NS = "{http://www.w3.org/2000/svg}"


class Report:
    def __init__(self):
        self.errors = []
        self.warnings = []

    def error(self, where, message):
        self.errors.append("%s: %s" % (where, message))

    def warn(self, where, message):
        self.warnings.append("%s: %s" % (where, message))


# ---------------------------------------------------------------- reading like the tester

def read_int(text):
    """The tester's decimal reading: None here where the tester silently reads 0."""
    if text is None or not DECIMAL.match(text):
        return None
    return int(text)


def element_text(element):
    return "".join(element.itertext())


def first_below(element, tag):
    """Depth-first search below `element` (not itself) returning the first match."""
    for candidate in element.iter(tag):
        if candidate is not element:
            return candidate
    return None


def unscramble(data):
    if data[:4] == MARKER:
        return bytes(0xFF - b for b in data[4:]), True
    return data, False


def index_code(text):
    exact = {"#x8000": 0x8000, "#xF800": 0xF800, "#xF900": 0xF900, "#x4000": 0x4000}
    if text in exact:
        return exact[text]
    if "#x1600" in text:
        return 0x1600
    if "#x1a00" in text:
        return 0x1A00
    return 0x1A01


def sub_index(text):
    if "#x" in text:
        try:
            value = int(text.replace("#x", ""), 16)
        except ValueError:
            return -1
        return -1 if value == 0xFFFF else value
    value = read_int(text)
    return -1 if value is None else value


class Reader:
    """Reads one description file into plain dicts, reporting what the tester would misread."""

    def __init__(self, report, where):
        self.report = report
        self.where = where

    def field(self, element, tag, where, required=True):
        """Text of the child `tag` as the first-match search finds it."""
        direct = [child for child in element if child.tag == tag]
        found = first_below(element, tag)
        if len(direct) > 1:
            self.report.error(where, "<%s> appears %d times in <%s>" % (tag, len(direct), element.tag))
        if direct and found is not direct[0]:
            self.report.error(where, "<%s> of <%s> comes after a nested <%s>: the search takes "
                                     "the nested one" % (tag, element.tag, tag))
        if found is None:
            if required:
                self.report.error(where, "<%s> has no <%s>" % (element.tag, tag))
            return None
        text = element_text(found)
        if text != text.strip():
            self.report.error(where, "<%s> text %r has surrounding white space" % (tag, text))
        return text

    def children(self, element, kind, where):
        allowed = ALLOWED_CHILDREN[kind]
        for child in element:
            if child.tag not in allowed:
                self.report.error(where, "<%s> in <%s> is not read by the tester" % (child.tag, element.tag))

    def access(self, element, where):
        flags = first_below(element, "Flags")
        if flags is None:
            self.report.error(where, "no <Flags><Access>")
            return ""
        self.children(flags, "Flags", where)
        access = first_below(flags, "Access")
        if access is None:
            self.report.error(where, "<Flags> without <Access>")
            return ""
        return element_text(access)

    def file(self, tree):
        root = tree if tree.tag == "TarnBus" else first_below(tree, "TarnBus")
        if root is None:
            self.report.error(self.where, "no <TarnBus> element: the file describes no module")
            return None
        attrs = {}
        for name in ROOT_ATTRS:
            value = root.get(name)
            if not value:
                self.report.error(self.where, "<TarnBus> lacks attribute %s" % name)
            attrs[name] = value or ""
        for name in root.attrib:
            if name not in ROOT_ATTRS:
                self.report.error(self.where, "<TarnBus> attribute %s is not read" % name)
        modules = []
        for child in root:
            if child.tag != "Module":
                self.report.error(self.where, "<%s> in <TarnBus> is skipped by the tester" % child.tag)
                continue
            modules.append(self.module(child, len(modules)))
        return {"attrs": attrs, "modules": modules}

    def module(self, element, position):
        where = "%s module %d" % (self.where, position + 1)
        type_el = element.find("Type")
        ident = type_el.get("ModuleIdent") if type_el is not None else None
        if ident:
            where = "%s %s" % (self.where, ident)
        self.children(element, "Module", where)
        for tag in ("Type", "Name", "Profile", "TxPdo", "RxPdo"):
            if len(element.findall(tag)) > 1:
                self.report.error(where, "<%s> appears more than once: the last one wins" % tag)
        module = {"where": where, "attrs": {}, "typeName": "", "name": None,
                  "dataTypes": {}, "objects": [], "TxPdo": None, "RxPdo": None}
        if type_el is None:
            self.report.error(where, "no <Type>")
        else:
            module["typeName"] = element_text(type_el)
            module["attrs"] = dict(type_el.attrib)
        name_el = element.find("Name")
        if name_el is None:
            self.report.error(where, "no <Name>")
        else:
            module["name"] = element_text(name_el)
        profile = element.find("Profile")
        if profile is None:
            self.report.error(where, "no <Profile>")
        else:
            self.profile(profile, module, where)
        for tag in ("TxPdo", "RxPdo"):
            pdo = element.find(tag)
            if pdo is not None:
                module[tag] = self.pdo(pdo, "%s %s" % (where, tag))
        return module

    def profile(self, profile, module, where):
        self.children(profile, "Profile", where)
        dictionary = first_below(profile, "Dictionary")
        if dictionary is None:
            self.report.error(where, "<Profile> without <Dictionary>")
            return
        self.children(dictionary, "Dictionary", where)
        data_types = first_below(dictionary, "DataTypes")
        objects = first_below(dictionary, "Objects")
        if data_types is None or objects is None:
            self.report.error(where, "<Dictionary> needs <DataTypes> and <Objects>")
            return
        self.children(data_types, "DataTypes", where)
        for element in data_types:
            if element.tag != "DataType":
                continue
            data_type = self.data_type(element, where)
            if data_type["name"] in module["dataTypes"]:
                self.report.error(where, "data type %s defined twice" % data_type["name"])
            module["dataTypes"][data_type["name"]] = data_type
        self.children(objects, "Objects", where)
        for element in objects:
            if element.tag == "Object":
                module["objects"].append(self.object(element, where))

    def data_type(self, element, where):
        name = self.field(element, "Name", where) or ""
        where = "%s data type %s" % (where, name)
        self.children(element, "DataType", where)
        data_type = {"name": name, "where": where,
                     "bitSize": self.field(element, "BitSize", where),
                     "baseType": None, "subItems": [], "enums": []}
        if any(child.tag == "BaseType" for child in element):
            data_type["baseType"] = self.field(element, "BaseType", where)
        for child in element:
            if child.tag == "SubItem":
                data_type["subItems"].append(self.sub_item(child, where))
            elif child.tag == "EnumInfo":
                self.children(child, "EnumInfo", where)
                data_type["enums"].append((self.field(child, "Text", where, required=False) or "",
                                           self.field(child, "Enum", where)))
        return data_type

    def sub_item(self, element, where):
        name = self.field(element, "Name", where) or ""
        where = "%s sub-item %r" % (where, name)
        self.children(element, "SubItem", where)
        item = {"name": name, "where": where}
        for tag in ("SubIdx", "Type", "BitSize", "BaseType"):
            item[tag] = self.field(element, tag, where)
        for tag in ("BitOffs", "CountOffs", "Style", "ParamType"):
            item[tag] = self.field(element, tag, where, required=False)
        item["access"] = self.access(element, where)
        return item

    def object(self, element, where):
        name = self.field(element, "Name", where) or ""
        where = "%s object %s" % (where, name)
        self.children(element, "Object", where)
        obj = {"name": name, "where": where,
               "index": self.field(element, "Index", where) or "",
               "type": self.field(element, "Type", where) or "",
               "bitSize": self.field(element, "BitSize", where),
               "info": []}
        info = first_below(element, "Info")
        if info is None:
            self.report.error(where, "no <Info>")
            return obj
        for entry in info:
            entry_name = self.field(entry, "Name", where) or ""
            inner = first_below(entry, "Info")
            default = first_below(inner, "DefaultData") if inner is not None else None
            if default is None:
                self.report.error(where, "entry %r has no <Info><DefaultData>" % entry_name)
                obj["info"].append((entry_name, ""))
            else:
                obj["info"].append((entry_name, element_text(default)))
        return obj

    def pdo(self, element, where):
        self.children(element, "Pdo", where)
        sm = element.get("Sm")
        if read_int(sm) is None:
            self.report.error(where, "Sm=%r is not a number (reads as 4)" % sm)
        pdo = {"where": where, "sm": read_int(sm),
               "index": self.field(element, "Index", where) or "",
               "name": self.field(element, "Name", where) or "",
               "entries": []}
        for child in element:
            if child.tag != "Entry":
                continue
            entry_where = "%s entry %d" % (where, len(pdo["entries"]) + 1)
            self.children(child, "Entry", entry_where)
            entry = {"where": entry_where}
            for tag in ("Index", "SubIndex", "BitLen", "Name", "DataType"):
                entry[tag] = self.field(child, tag, entry_where)
            entry["access"] = self.access(child, entry_where)
            pdo["entries"].append(entry)
        return pdo


# ---------------------------------------------------------------- checking the content

class ModuleChecker:
    def __init__(self, report, module, svg_dir, image_dir):
        self.report = report
        self.m = module
        self.where = module["where"]
        self.svg_dir = svg_dir
        self.image_dir = image_dir
        self.numbers = {}

    def err(self, message, where=None):
        self.report.error(where or self.where, message)

    def run(self):
        self.check_type()
        for data_type in self.m["dataTypes"].values():
            self.check_data_type(data_type)
        groups = {}
        for obj in self.m["objects"]:
            items = self.check_object(obj)
            if obj["name"] in groups:
                self.err("object %s appears twice: the later one replaces the group" % obj["name"])
            groups[obj["name"]] = items
        for key in ("RXPDO", "TXPDO"):
            if key in groups:
                self.err("an object named %s collides with the process-data group" % key)
        self.check_config(groups.get("CONFIG-DATA"))
        self.check_basic_info(groups.get("BASIC INFO"))
        self.check_pdos()
        self.check_image()

    # -- Type element
    def check_type(self):
        attrs = self.m["attrs"]
        for name in attrs:
            if name not in TYPE_TEXT_ATTRS + TYPE_NUMBER_ATTRS:
                self.err("<Type> attribute %s is not read" % name)
        for name in TYPE_TEXT_ATTRS:
            if not attrs.get(name):
                self.err("<Type> lacks %s" % name)
        for name in TYPE_NUMBER_ATTRS:
            value = attrs.get(name)
            number = read_int(value)
            if value is None:
                self.err("<Type> lacks %s" % name)
            elif number is None:
                self.err("<Type> %s=%r is not a decimal number (reads as 0)" % (name, value))
            self.numbers[name] = number or 0
        ident = attrs.get("ModuleIdent", "")
        if ident and not IDENT.match(ident):
            self.err("ModuleIdent %r is not \"#0000\" and four upper-case hex digits" % ident)
        cls = attrs.get("ModuleClass", "")
        if cls and cls not in MODULE_CLASSES:
            self.err("ModuleClass %r is unknown: the module becomes an undefined slave" % cls)
        type_name = self.m["typeName"]
        parts = type_name.split("-")
        if len(parts) < 2 or not parts[1]:
            self.err("type name %r has no second \"-\" part for the project tree" % type_name)
        if not self.m["name"]:
            self.err("<Name> is empty")
        n = self.numbers
        fallback = ident == FALLBACK_IDENT
        if cls in INPUT_CLASSES and not fallback and n["InputChannelCount"] <= 0:
            self.err("class %s needs InputChannelCount > 0" % cls)
        if cls in OUTPUT_CLASSES and n["OutputChannelCount"] <= 0:
            self.err("class %s needs OutputChannelCount > 0" % cls)
        if cls not in INPUT_CLASSES and (n["InputChannelCount"] or n["InputOffs"]):
            self.err("class %s has no inputs but InputChannelCount/InputOffs are set" % cls)
        if cls not in OUTPUT_CLASSES and (n["OutputChannelCount"] or n["OutputOffs"]):
            self.err("class %s has no outputs but OutputChannelCount/OutputOffs are set" % cls)
        for direction in ("Input", "Output"):
            count = n["%sChannelCount" % direction]
            if count and count != n["ChannelCount"]:
                self.err("%sChannelCount %d differs from ChannelCount %d"
                         % (direction, count, n["ChannelCount"]))
            channels = count + n["%sOffs" % direction]
            if channels > 0x7F:
                self.err("%d %s channels do not fit the 7-bit channel count" % (channels, direction.lower()))
            if channels * n["BitSize"] > 512:
                self.err("%s area of %d bits exceeds the 512-bit process image"
                         % (direction.lower(), channels * n["BitSize"]))
        expected_bits = 16 if cls in ANALOG_CLASSES else 1
        if n["BitSize"] != expected_bits:
            self.err("BitSize %d for class %s (expected %d)" % (n["BitSize"], cls, expected_bits))

    # -- DataType
    def check_data_type(self, data_type):
        where = data_type["where"]
        name = data_type["name"]
        is_enum = bool(data_type["enums"])
        if is_enum != ("DT" in name):
            self.err("an enumerated type's name must contain \"DT\" and no other type's may", where)
        bits = read_int(data_type["bitSize"])
        if bits is None:
            self.err("BitSize %r is not a number" % data_type["bitSize"], where)
        if is_enum:
            self.check_enum(data_type, bits, where)
            return
        names = set()
        indices = set()
        offset = 0
        for item in data_type["subItems"]:
            self.check_sub_item(item, offset)
            if item["name"] in names:
                self.err("two sub-items named %r" % item["name"], where)
            names.add(item["name"])
            idx = sub_index(item["SubIdx"] or "")
            if idx < 0:
                self.err("SubIdx %r reads as -1" % item["SubIdx"], item["where"])
            elif idx in indices:
                self.err("SubIdx %d used twice" % idx, item["where"])
            indices.add(idx)
            offset += read_int(item["BitSize"]) or 0
        if bits is not None and data_type["subItems"] and bits != offset:
            self.err("BitSize %d differs from the %d bits of its sub-items" % (bits, offset), where)

    def check_enum(self, data_type, bits, where):
        base = data_type["baseType"]
        if base not in NUMERIC_TYPES:
            self.err("enumeration base type %r is not a number type" % base, where)
        if data_type["subItems"]:
            self.err("an enumerated type has no sub-items", where)
        for position, (text, enum) in enumerate(data_type["enums"]):
            value = read_int(enum)
            if not text:
                self.err("enum %r has no text: the combo box loses an entry" % enum, where)
            if value != position:
                self.err("enum values must run 0, 1, 2 ... in order (the editor sends the combo "
                         "index); entry %d has %r" % (position, enum), where)
        if bits is not None and len(data_type["enums"]) > (1 << bits):
            self.err("%d entries do not fit %d bits" % (len(data_type["enums"]), bits), where)
        if base in DATA_TYPES and bits is not None and not self.bits_fit_type(base, bits):
            self.err("BitSize %d does not suit base type %s" % (bits, base), where)

    @staticmethod
    def bits_fit_type(type_text, bits):
        if type_text == "BOOL":
            return bits == 1
        if type_text == "Bits":
            return 1 <= bits <= 8
        if type_text in ("STRING", "STRING_SN"):
            return bits > 0 and bits % 8 == 0
        return bits == DATA_TYPES[type_text][1] * 8

    def enum_type(self, type_text):
        if "DT" not in (type_text or ""):
            return None
        return self.m["dataTypes"].get(type_text)

    def check_sub_item(self, item, offset):
        where = item["where"]
        type_text = item["Type"] or ""
        enum = self.enum_type(type_text)
        if "DT" in type_text:
            if enum is None or not enum["enums"]:
                self.err("type %r names no enumerated data type" % type_text, where)
            elif item["BaseType"] != enum["baseType"]:
                self.err("BaseType %r differs from the enumeration's %r"
                         % (item["BaseType"], enum["baseType"]), where)
        elif type_text not in DATA_TYPES:
            self.err("type %r is unknown (code 10, no value)" % type_text, where)
        elif item["BaseType"] != type_text:
            self.err("BaseType %r differs from Type %r" % (item["BaseType"], type_text), where)
        bits = read_int(item["BitSize"])
        value_type = enum["baseType"] if enum else type_text
        if bits is None:
            self.err("BitSize %r is not a number" % item["BitSize"], where)
        elif value_type in DATA_TYPES and not self.bits_fit_type(value_type, bits):
            self.err("BitSize %d does not suit type %s" % (bits, value_type), where)
        if enum and bits is not None and read_int(enum["bitSize"]) != bits:
            self.err("BitSize %d differs from the enumeration's %s" % (bits, enum["bitSize"]), where)
        if item["BitOffs"] is not None and read_int(item["BitOffs"]) != offset:
            self.err("BitOffs %s, expected %d (the sum of the sizes before it)" % (item["BitOffs"], offset), where)
        if item["CountOffs"] is not None and read_int(item["CountOffs"]) is None:
            self.err("CountOffs %r is not a number" % item["CountOffs"], where)
        if item["Style"] is not None and item["Style"] not in STYLES:
            self.err("Style %r is unknown" % item["Style"], where)
        if item["ParamType"] is not None and item["ParamType"] not in PARAM_TYPES:
            self.err("ParamType %r is unknown (reads as the station item)" % item["ParamType"], where)
        if item["access"] not in ("ro", "rw"):
            self.err("Access %r is neither \"ro\" nor \"rw\"" % item["access"], where)

    # -- Object: builds the items the slave would build
    def check_object(self, obj):
        where = obj["where"]
        code = index_code(obj["index"])
        if code in (0x1600, 0x1A00, 0x1A01):
            self.err("Index %r reads as 0x%04X: use #x8000, #xF800, #xF900 or #x4000 (0x1600 and "
                     "0x1A00 make the IO panel show the group as process data)" % (obj["index"], code), where)
        data_type = self.m["dataTypes"].get(obj["type"])
        if data_type is None or data_type["enums"]:
            self.err("type %r is not a structured data type of this module" % obj["type"], where)
            return []
        by_name = {item["name"]: item for item in data_type["subItems"]}
        items = []
        seen = set()
        for name, default in obj["info"]:
            item = by_name.get(name)
            if item is None:
                self.err("entry %r is no sub-item of %s" % (name, obj["type"]), where)
                continue
            if name in seen:
                self.err("entry %r listed twice" % name, where)
            seen.add(name)
            items.append(self.build_item(item, default, where))
        missing = [item["name"] for item in data_type["subItems"] if item["name"] not in seen]
        if missing:
            self.report.warn(where, "sub-items without an entry (no item is built): %s" % ", ".join(missing))
        order = [name for name, _ in obj["info"] if name in by_name]
        if order != [item["name"] for item in data_type["subItems"] if item["name"] in seen]:
            self.err("entries are not in the data type's order", where)
        bits = read_int(obj["bitSize"])
        if bits is not None and bits != read_int(data_type["bitSize"]):
            self.err("BitSize %d differs from %s's %s" % (bits, obj["type"], data_type["bitSize"]), where)
        return items

    def build_item(self, sub, default, where):
        where = "%s item %r" % (where, sub["name"])
        enum = self.enum_type(sub["Type"])
        value_type = enum["baseType"] if enum else sub["Type"]
        bits = read_int(sub["BitSize"]) or 0
        item = {"name": sub["name"], "where": where, "type": sub["Type"], "valueType": value_type,
                "bits": bits, "param": PARAM_TYPES.get(sub["ParamType"] or "", 0),
                "access": sub["access"], "enum": enum, "default": default}
        if not HEX_BYTES.match(default):
            self.err("DefaultData %r is not hexadecimal bytes" % default, where)
            return item
        data = bytes.fromhex(default)
        size = DATA_TYPES.get(value_type, (None, None))[1]
        if size is not None and len(data) != size:
            self.err("DefaultData %r has %d bytes, %s needs %d" % (default, len(data), value_type, size), where)
        if value_type in ("STRING", "STRING_SN") and len(data) > bits // 8:
            self.err("DefaultData has %d bytes, more than BitSize %d allows" % (len(data), bits), where)
        if value_type == "STRING":
            try:
                data.decode("utf-8")
            except UnicodeDecodeError:
                self.err("DefaultData is no UTF-8 text", where)
        if value_type == "Bits" and data and data[0] >> bits:
            self.err("DefaultData %r has bits above BitSize %d" % (default, bits), where)
        if enum and data and size is not None and len(data) == size:
            value = int.from_bytes(data, "little")
            if value >= len(enum["enums"]):
                self.err("DefaultData %r is no entry of %s" % (default, enum["name"]), where)
        return item

    # -- CONFIG-DATA
    def check_config(self, items):
        where = self.where + " CONFIG-DATA"
        if items is None:
            self.err("no CONFIG-DATA object", where)
            return
        if not items or items[0]["param"] != 0:
            self.err("the first item must be the station item (no ParamType)", where)
            return
        station = items[0]
        if station["valueType"] != "CHAR" or station["access"] != "rw":
            self.err("the station item should be a writable CHAR", station["where"])
        cls = self.m["attrs"].get("ModuleClass", "")
        fallback = self.m["attrs"].get("ModuleIdent") == FALLBACK_IDENT
        analog = cls in ANALOG_CLASSES
        expected = []
        if cls in INPUT_CLASSES and not fallback:
            expected.append(3 if analog else 1)
        if cls in OUTPUT_CLASSES:
            expected.append(4 if analog else 2)
        channel_items = [item["param"] for item in items[1:1 + len(expected)]]
        if channel_items != expected:
            self.err("after the station item the channel items must be ParamType %s, found %s"
                     % ([k for c in expected for k, v in PARAM_TYPES.items() if v == c], channel_items), where)
        for item in items[1:1 + len(expected)]:
            if item["param"] not in (1, 2, 3, 4):
                continue
            if item["valueType"] not in ("UINT", "INT"):
                self.err("a channel item holds a 16-bit address word (INT/UINT)", item["where"])
            offs = self.numbers["InputOffs" if item["param"] in (1, 3) else "OutputOffs"]
            sub_items = self.m["dataTypes"][self.config_type()]["subItems"]
            sub = next((s for s in sub_items if s["name"] == item["name"]), None)
            if sub is not None and sub["CountOffs"] is not None and read_int(sub["CountOffs"]) != offs:
                self.err("CountOffs %s differs from the module's extra channels %d"
                         % (sub["CountOffs"], offs), item["where"])
        params = items[1 + len(expected):]
        seen = {}
        for item in params:
            code = item["param"]
            if code < 5:
                self.err("only parameter items (ParamType Filter, Enable, ...) may follow the channel items",
                         item["where"])
                continue
            if code in seen:
                self.err("a second %s item: the editor and the CSV file keep only one" % item["name"], item["where"])
            seen[code] = item
            if item["name"] != PARAM_KEYS[code]:
                self.err("a ParamType %s item must be named %r, not %r"
                         % (self.param_text(code), PARAM_KEYS[code], item["name"]), item["where"])
            if item["access"] != "rw":
                self.report.warn(item["where"], "parameter is read-only")
            if code in ENUM_FIELD_BITS:
                if item["enum"] is None:
                    self.err("the editor shows this parameter as a combo box: give it an enumerated type",
                             item["where"])
                elif len(item["enum"]["enums"]) > (1 << ENUM_FIELD_BITS[code]):
                    self.err("%d choices, but the editor stores only %d bits"
                             % (len(item["enum"]["enums"]), ENUM_FIELD_BITS[code]), item["where"])
            if code == 7 and (item["enum"] is not None or item["valueType"] not in ("UINT", "INT")):
                self.err("the substitute value is a 16-bit number typed in (INT/UINT, no enumeration)",
                         item["where"])
        if len([item for item in params if item["param"] > 7]) > 12:
            self.err("more than twelve further parameters do not fit the CSV file", where)
        if not fallback:
            if cls in INPUT_CLASSES and 5 not in seen:
                self.err("a module with inputs should have a \"Filter level\"", where)
            if cls not in INPUT_CLASSES and 5 in seen:
                self.err("a module without inputs has no input filter", where)
            for code in (6, 7):
                if cls in OUTPUT_CLASSES and code not in seen:
                    self.err("a module with outputs should have %r" % PARAM_KEYS[code], where)
                if cls not in OUTPUT_CLASSES and code in seen:
                    self.err("a module without outputs has no %r" % PARAM_KEYS[code], where)
        elif len(items) != 1:
            self.err("the fallback module's CONFIG-DATA holds only the station item", where)

    def config_type(self):
        for obj in self.m["objects"]:
            if obj["name"] == "CONFIG-DATA":
                return obj["type"]
        return None

    @staticmethod
    def param_text(code):
        return next(text for text, value in PARAM_TYPES.items() if value == code)

    # -- BASIC INFO
    def check_basic_info(self, items):
        where = self.where + " BASIC INFO"
        if items is None:
            self.err("no BASIC INFO object", where)
            return
        if len(items) != len(BASIC_INFO_TYPES):
            self.err("%d items: name, unique id, two hardware code bytes and 8 fault flags make 12"
                     % len(items), where)
        for position, (item, expected) in enumerate(zip(items, BASIC_INFO_TYPES)):
            if item["valueType"] != expected:
                self.err("item %d should be %s, is %s" % (position, expected, item["valueType"]), item["where"])
            if item["access"] != "ro":
                self.err("basic information is read-only", item["where"])
            if item["param"] != 0:
                self.err("basic information items carry no ParamType", item["where"])
            if position in BASIC_INFO_FIXED_NAMES and item["name"] != BASIC_INFO_FIXED_NAMES[position]:
                self.err("item %d should be %r" % (position, BASIC_INFO_FIXED_NAMES[position]), item["where"])
            if position >= 4 and item["bits"] < 8 * len("abnormal"):
                self.err("a fault flag must hold the text \"abnormal\"", item["where"])
        if len(items) > 1 and items[1]["bits"] != 96:
            self.err("the unique id has 12 bytes (BitSize 96)", items[1]["where"])

    # -- process data
    def check_pdos(self):
        cls = self.m["attrs"].get("ModuleClass", "")
        n = self.numbers
        fallback = self.m["attrs"].get("ModuleIdent") == FALLBACK_IDENT
        directions = [
            ("TxPdo", "RXPDO", "#x1a00", 3, "ro", cls in INPUT_CLASSES and not fallback,
             n["InputChannelCount"], n["InputOffs"]),
            ("RxPdo", "TXPDO", "#x1600", 2, "rw", cls in OUTPUT_CLASSES,
             n["OutputChannelCount"], n["OutputOffs"]),
        ]
        for tag, name, index, sm, access, present, channels, offs in directions:
            pdo = self.m[tag]
            if not present:
                if pdo is not None:
                    self.err("class %s has no %s" % (cls, tag))
                continue
            if pdo is None:
                self.err("class %s needs a %s named %s" % (cls, tag, name))
                continue
            where = pdo["where"]
            if pdo["name"] != name:
                self.err("Name %r: the module's %s is the tester's %s group" % (pdo["name"], tag, name), where)
            if index not in pdo["index"]:
                self.err("Index %r must contain %r" % (pdo["index"], index), where)
            if pdo["sm"] != sm:
                self.err("Sm %r, expected %d" % (pdo["sm"], sm), where)
            entries = pdo["entries"]
            if len(entries) != channels + offs:
                self.err("%d entries, expected %d channels + %d extra" % (len(entries), channels, offs), where)
            names = set()
            for position, entry in enumerate(entries):
                ew = entry["where"]
                if read_int(entry["SubIndex"]) != position + 1:
                    self.err("SubIndex %r, expected %d" % (entry["SubIndex"], position + 1), ew)
                bit_len = read_int(entry["BitLen"])
                if bit_len != n["BitSize"]:
                    self.err("BitLen %r, expected the module's BitSize %d" % (entry["BitLen"], n["BitSize"]), ew)
                data_type = entry["DataType"]
                if data_type not in NUMERIC_TYPES:
                    self.err("DataType %r is no process-data type" % data_type, ew)
                elif bit_len is not None and not self.bits_fit_type(data_type, bit_len):
                    self.err("DataType %s does not hold %d bits" % (data_type, bit_len), ew)
                if entry["access"] != access:
                    self.err("Access %r, expected %r" % (entry["access"], access), ew)
                if not entry["Name"] or entry["Name"] in names:
                    self.err("entry name %r is empty or repeated" % entry["Name"], ew)
                names.add(entry["Name"])
                if not entry["Index"]:
                    self.err("entry without Index", ew)

    # -- picture
    def check_image(self):
        image = self.m["attrs"].get("Image")
        if not image:
            return
        path = os.path.join(self.svg_dir, self.image_dir, image)
        svg = load_svg(self.report, path)
        if svg is None:
            return
        check_svg_text(self.report, path, svg, "name")
        check_svg_text(self.report, path, svg, "number")
        width, height = svg_size(self.report, path, svg)
        if width is None:
            return
        if MODULE_X_IN_SLOT + width > MODULE_SLOT_WIDTH:
            self.report.error(path, "%g px wide: more than fits the %d px slot" % (width, MODULE_SLOT_WIDTH))
        line1 = os.path.join(self.svg_dir, "line1.svg")
        line1_svg = load_svg(Report(), line1)
        if line1_svg is not None:
            _, bus_height = svg_size(Report(), line1, line1_svg)
            if bus_height is not None and bus_height - MODULE_OVERLAP + height > ROW_PITCH:
                self.report.error(path, "%g px high: with the bus-line piece the module overruns the "
                                        "%d px row pitch" % (height, ROW_PITCH))


# ---------------------------------------------------------------- pictures

def local_name(tag):
    return tag[len(SVG_NS):] if tag.startswith(SVG_NS) else tag


def load_svg(report, path):
    if not os.path.isfile(path):
        report.error(path, "picture missing")
        return None
    try:
        svg = ET.parse(path).getroot()
    except ET.ParseError as failure:
        report.error(path, "not well-formed: %s" % failure)
        return None
    if svg.tag != SVG_NS + "svg":
        report.error(path, "root is not an SVG <svg> element")
        return None
    if svg.get("version") not in (None, "1.1", "1.2"):
        report.warn(path, "SVG version %s" % svg.get("version"))
    ids = set()
    for element in svg.iter():
        name = local_name(element.tag)
        if name in FORBIDDEN_SVG:
            report.error(path, "<%s> is beyond what the Qt renderer draws" % name)
        if "class" in element.attrib:
            report.error(path, "CSS classes are not drawn by the Qt renderer")
        element_id = element.get("id")
        if element_id is not None:
            if element_id in ids:
                report.error(path, "id %r used twice" % element_id)
            ids.add(element_id)
    return svg


def svg_size(report, path, svg):
    sizes = []
    for name in ("width", "height"):
        text = (svg.get(name) or "").replace("px", "")
        try:
            sizes.append(float(text))
        except ValueError:
            report.error(path, "%s %r is not a plain pixel size" % (name, svg.get(name)))
            return None, None
    return sizes[0], sizes[1]


def find_by_id(svg, tag, element_id):
    """The program edits the first element of that tag whose id matches."""
    for element in svg.iter(SVG_NS + tag):
        if element.get("id") == element_id:
            return element
    return None


def check_svg_text(report, path, svg, element_id):
    element = find_by_id(svg, "text", element_id)
    if element is None:
        report.error(path, "no <text id=%r>" % element_id)
    elif not (element.text or "").strip():
        report.error(path, "<text id=%r> must start with a text node (the program replaces it)" % element_id)
    return element


def check_templates(report, svg_dir):
    for name, ids in TEMPLATES.items():
        path = os.path.join(svg_dir, name)
        svg = load_svg(report, path)
        if svg is None:
            continue
        svg_size(report, path, svg)
        for tag, element_id in ids:
            element = find_by_id(svg, tag, element_id)
            if element is None:
                report.error(path, "no <%s id=%r>" % (tag, element_id))
            elif element.get("visibility") != "hidden":
                report.error(path, "<%s id=%r> must start hidden" % (tag, element_id))
        if name == "DataCapacity123.svg":
            check_svg_text(report, path, svg, "tmess")
        if name == "lamp.svg":
            paths = list(svg.iter(SVG_NS + "path"))
            if not paths:
                report.error(path, "the lamp is drawn by <path> elements")
            for element in paths:
                if element.get("fill") != "#666666":
                    report.error(path, "every lamp <path> starts with fill #666666 (lamp off)")
        if name == "line1.svg":
            width, _ = svg_size(report, path, svg)
            if width is not None and width != MODULE_SLOT_WIDTH:
                report.error(path, "the bus-line piece is %g px wide, modules are %d px apart"
                             % (width, MODULE_SLOT_WIDTH))
        if name == "line4.svg":
            width, _ = svg_size(report, path, svg)
            if width is not None and width != LEFT_CONNECTOR_WIDTH:
                report.error(path, "placed %d px left of the first module, so it must be %d px wide"
                             % (LEFT_CONNECTOR_WIDTH, LEFT_CONNECTOR_WIDTH))


# ---------------------------------------------------------------- driver

def run_xmllint(report, path, data):
    xmllint = shutil.which("xmllint")
    if xmllint is None:
        return False
    result = subprocess.run([xmllint, "--noout", "-"], input=data, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    if result.returncode != 0:
        report.error(path, "xmllint: %s" % result.stderr.decode("utf-8", "replace").strip())
    return True


def load_description(report, path):
    with open(path, "rb") as handle:
        raw = handle.read()
    data, scrambled = unscramble(raw)
    if not data.startswith(b"<?xml"):
        report.error(path, "no XML declaration")
    elif not re.match(rb"<\?xml[^>]*encoding=[\"']UTF-8[\"']", data):
        report.error(path, "the XML declaration must name encoding UTF-8")
    try:
        data.decode("utf-8")
    except UnicodeDecodeError:
        report.error(path, "not UTF-8 text%s" % (" after unscrambling" if scrambled else ""))
        return None, scrambled, data
    try:
        tree = ET.fromstring(data)
    except ET.ParseError as failure:
        report.error(path, "not well-formed XML (the tester loads it as an empty library): %s" % failure)
        return None, scrambled, data
    return tree, scrambled, data


def check_catalogue(report, modules):
    by_ident = {module["attrs"].get("ModuleIdent"): module for module in modules}
    for key, cls, type_name, channels, bits, inputs, outputs, changeable, in_offs, out_offs, file_name in CATALOGUE:
        module = by_ident.get(key)
        if module is None:
            report.error("catalogue", "%s %s is not described" % (key, type_name))
            continue
        attrs = module["attrs"]
        expected = {"ModuleClass": cls, "ChannelCount": channels, "BitSize": bits,
                    "InputChannelCount": inputs, "OutputChannelCount": outputs,
                    "SuportChangeableChannel": changeable, "InputOffs": in_offs, "OutputOffs": out_offs}
        for name, value in expected.items():
            if str(attrs.get(name)) != str(value):
                report.error(module["where"], "catalogue says %s=%s, description has %s" % (name, value, attrs.get(name)))
        if module["typeName"] != type_name:
            report.error(module["where"], "catalogue type name %r, description %r" % (type_name, module["typeName"]))
        if module["file"] != file_name:
            report.error(module["where"], "belongs in %s" % file_name)
        if (file_name in SCRAMBLED_FILES) != module["scrambled"]:
            report.error(module["where"], "%s must be stored %s" % (file_name, "scrambled" if file_name in SCRAMBLED_FILES else "plain"))
    if UNDESCRIBED_IDENT in by_ident:
        report.error("catalogue", "%s must stay undescribed" % UNDESCRIBED_IDENT)
    known = {entry[0] for entry in CATALOGUE}
    for ident in by_ident:
        if ident not in known:
            report.warn("catalogue", "%s is described but not in the catalogue" % ident)


def io_bits(module):
    attrs = module["attrs"]
    cls = attrs.get("ModuleClass", "")
    bits = read_int(attrs.get("BitSize")) or 0

    def area(direction, present):
        if not present:
            return 0
        return bits * ((read_int(attrs.get(direction + "ChannelCount")) or 0) + (read_int(attrs.get(direction + "Offs")) or 0))
    return area("Input", cls in INPUT_CLASSES), area("Output", cls in OUTPUT_CLASSES)


def print_table(modules):
    header = ("Ident", "Class", "Type", "Ch", "In", "Out", "In bits", "Out bits", "File", "Name")
    rows = []
    for module in sorted(modules, key=lambda m: m["attrs"].get("ModuleIdent", "")):
        attrs = module["attrs"]
        in_bits, out_bits = io_bits(module)
        rows.append((attrs.get("ModuleIdent", "?"), attrs.get("ModuleClass", "?"), module["typeName"],
                     attrs.get("ChannelCount", "?"), attrs.get("InputChannelCount", "?"),
                     attrs.get("OutputChannelCount", "?"), str(in_bits), str(out_bits),
                     module["file"] + (" (scrambled)" if module["scrambled"] else ""), module["name"] or ""))
    widths = [max(len(str(row[i])) for row in rows + [header]) for i in range(len(header) - 1)]
    for row in [header] + rows:
        print("  ".join(str(cell).ljust(width) for cell, width in zip(row, widths)) + "  " + str(row[-1]))


def main(argv=None):
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description="Check the TarnBUS device-description library.")
    parser.add_argument("folder", nargs="?", default=os.path.join(here, "Xml"),
                        help="folder of description files (default: Xml/ of this repository)")
    parser.add_argument("--svg", help="picture folder (default: SVG/ beside the description folder)")
    parser.add_argument("--no-catalogue", action="store_true",
                        help="do not compare the library with the product catalogue")
    args = parser.parse_args(argv)
    folder = os.path.abspath(args.folder)
    svg_dir = os.path.abspath(args.svg or os.path.join(os.path.dirname(folder), "SVG"))
    report = Report()
    if not os.path.isdir(folder):
        print("no such folder: %s" % folder, file=sys.stderr)
        return 2

    modules = []
    linted = False
    names = sorted(name for name in os.listdir(folder) if os.path.isfile(os.path.join(folder, name)))
    if not names:
        report.error(folder, "no description files: every module would become an undefined slave")
    for name in names:
        path = os.path.join(folder, name)
        tree, scrambled, data = load_description(report, path)
        linted = run_xmllint(report, path, data) or linted
        if tree is None:
            continue
        parsed = Reader(report, name).file(tree)
        if parsed is None:
            continue
        image_dir = parsed["attrs"]["imageDir"]
        if image_dir and not os.path.isdir(os.path.join(svg_dir, image_dir)):
            report.error(name, "imageDir %r: no folder %s" % (image_dir, os.path.join(svg_dir, image_dir)))
        idents = set()
        for module in parsed["modules"]:
            module.update(file=name, scrambled=scrambled)
            ModuleChecker(report, module, svg_dir, image_dir).run()
            ident = module["attrs"].get("ModuleIdent")
            if ident in idents:
                report.error(module["where"], "described twice in this file: the later one wins")
            idents.add(ident)
            modules.append(module)
    seen = {}
    for module in modules:
        ident = module["attrs"].get("ModuleIdent")
        if ident in seen and seen[ident] != module["file"]:
            report.error(module["where"], "also described in %s: which one wins depends on the "
                                          "order the file system lists them" % seen[ident])
        seen.setdefault(ident, module["file"])
    if modules and FALLBACK_IDENT not in seen:
        report.error(folder, "no fallback module %s for unknown module types" % FALLBACK_IDENT)
    check_templates(report, svg_dir)
    for root, _, files in os.walk(svg_dir):
        for name in files:
            if name.endswith(".svg"):
                path = os.path.join(root, name)
                with open(path, "rb") as handle:
                    linted = run_xmllint(report, path, handle.read()) or linted
    if not args.no_catalogue:
        check_catalogue(report, modules)

    print_table(modules)
    print()
    if not linted:
        print("note: xmllint not found, well-formedness checked by Python only")
    for warning in report.warnings:
        print("warning: " + warning)
    for error in report.errors:
        print("error: " + error)
    print("%d modules, %d errors, %d warnings" % (len(modules), len(report.errors), len(report.warnings)))
    return 1 if report.errors else 0


if __name__ == "__main__":
    sys.exit(main())
