#!/usr/bin/env python3
"""Writes the malformed-file corpus beside this script: for each reader a sound file
(good.*) and the same file damaged in one way per case. Run it again after a change;
the files are committed, so the tests do not need Python."""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
VERSION = '"CHROMIK4-ANA-Scope V1.2"'


def crlf(lines):
    return ("\r\n".join(lines) + "\r\n").encode("latin-1")


def panel_settings():
    lines = ["[GENERAL INFO]", 'FILE TYPE: = "Panel Settings"', "SCOPE VERSION: = " + VERSION,
             'PANEL ID: = "Line 4"', "",
             "[PANEL POSITION]", "MAINPANEL FULLSCREEN = 0", "MAINPANEL LEFT = 30", "MAINPANEL TOP = 60",
             "MAINPANEL WIDTH = 800", "MAINPANEL HEIGHT = 600", "",
             "[DIRECTORIES]", 'PARAMETER FILE = "/data/P.ini"', 'RECORDER FILE = "/data/R.dat"',
             'HARDWARE INI FILE = "/data/H.ini"', 'TABLE ATTRIBUTES FILE = "/data/T.ini"', "",
             "[IP ADDRESSES]", "LIST ITEMS = 2", 'IP ADDR 1 = "10.0.0.5"', 'IP ADDR 2 = "sensor.local"', "",
             "[COMMUNICATION SETTINGS]", "COMPROTOCOL = 1", "COMPORT = 2", "BAUDRATE = 3",
             'IP ADRESS = "127.0.0.1"', 'PORT NUMBER = "1"', "",
             "[TABLE ATTR OF TEACH VECTOR 0]", "Row color = 255", 'Row specification = "red cap"', ""]
    return lines


def parameter_file():
    keys = ["POWER", "POWER MODE", "AVERAGE", "EVALUATION MODE", "HOLD FAIL", "INTLIM", "MAX VEC NO",
            "DIGITAL OUTMODE", "TRIGGER", "EXTERN TEACH", "CALCULATION MODE", "DYNWIN LO", "DYNWIN HI",
            "COLOR GROUP", "LED MODE", "GAIN", "INTEGRAL", "ANALOG OUTMODE", "ANALOG OUT", "ANALOG ZOOM"]
    lines = ["[GENERAL INFO]", 'FILE TYPE: = "Parameter File"', "SCOPE VERSION: = " + VERSION, "", "[PARAMETER]"]
    # Words shown by a selector keep their defaults (the panel takes only the values it
    # offers); every other word holds 100 + its number.
    selectors = {1: 0, 3: 1, 7: 0, 8: 0, 9: 0, 10: 0, 14: 0, 17: 1, 18: 0}
    lines += ["%s = %d" % (k, selectors.get(w, 100 + w)) for w, k in enumerate(keys)]
    lines.append("")
    for r in range(31):
        lines.append("[TEACH VECTOR %d]" % r)
        lines += ["CELL %d = %d" % (c, 1000 + 10 * r + c) for c in range(5)]
        lines += ["GROUP  = %d" % (r % 8), "HOLD  = %d" % (20 + r), ""]
    return lines


def table_attributes():
    lines = ["[GENERAL INFO]", 'FILE TYPE: = "Table Attributes"', "SCOPE VERSION: = " + VERSION, ""]
    for r in range(31):
        lines += ["[TABLE ATTR OF TEACH VECTOR %d]" % r, "Row color = %d" % (0x010101 * (r + 1)),
                  'Row specification = "row %d"' % r, ""]
    return lines


def replace(lines, old, new):
    out = list(lines)
    out[out.index(old)] = new
    return out


def upper_lower(lines):
    # Section names and keys in lower case; values as they were.
    out = []
    for line in lines:
        if line.startswith("["):
            out.append(line.lower())
        elif " = " in line:
            key, value = line.split(" = ", 1)
            out.append(key.lower() + " = " + value)
        else:
            out.append(line)
    return out


def write_cases(folder, ext, good, damaged):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    rng = random.Random(folder)
    cases = {
        "good": crlf(good),
        "empty": b"",
        "binary": bytes(rng.randrange(256) for _ in range(4096)),
        "cr_only": crlf(good).replace(b"\r\n", b"\r"),
        "lf_only": crlf(good).replace(b"\r\n", b"\n"),
        "byte_order_mark": b"\xef\xbb\xbf" + crlf(good),
        "other_letter_case": crlf(upper_lower(good)),
    }
    for name, lines in damaged.items():
        cases[name] = lines if isinstance(lines, bytes) else crlf(lines)
    for name, data in cases.items():
        with open(os.path.join(HERE, folder, name + ext), "wb") as f:
            f.write(data)


def main():
    ps = panel_settings()
    dup = ps + ["[COMMUNICATION SETTINGS]", "COMPROTOCOL = 0", "COMPORT = 9", ""]
    dup = replace(dup, "COMPORT = 2", "COMPORT = 2\r\nCOMPORT = 7")
    write_cases("panel_settings", ".cfg", ps, {
        "latin1": crlf(replace(ps, 'PANEL ID: = "Line 4"', 'PANEL ID: = "Linie 4 Gr\xf6\xdfe"')),
        "duplicated_sections": dup,
        "missing_sections": ps[:5],
        "wrong_types": replace(replace(replace(replace(ps, "COMPORT = 2", "COMPORT = two"),
                                               "BAUDRATE = 3", "BAUDRATE = 3.0"),
                                       "LIST ITEMS = 2", "LIST ITEMS = all"),
                               "MAINPANEL LEFT = 30", "MAINPANEL LEFT = 0x1E"),
        "beyond_16_bits": replace(replace(replace(replace(ps, "COMPROTOCOL = 1", "COMPROTOCOL = 65537"),
                                                  "COMPORT = 2", "COMPORT = 65538"),
                                          "BAUDRATE = 3", "BAUDRATE = -65533"),
                                  "Row color = 255", "Row color = 16777471"),
    })

    pf = parameter_file()
    dup = pf + ["[PARAMETER]", "POWER = 7", "", "[TEACH VECTOR 3]", "CELL 0 = 7", ""]
    dup = replace(dup, "GAIN = 115", "GAIN = 115\r\nGAIN = 7")
    write_cases("parameter_file", ".ini", pf, {
        "latin1": crlf(["; Gr\xf6\xdfe und Farbw\xe4hler"] + replace(pf, "AVERAGE = 102", "AVERAGE = 102\r\nMAXIMALE GR\xd6SSE = 5")),
        "duplicated_sections": dup,
        "missing_sections": pf[:4] + pf[pf.index("[TEACH VECTOR 0]"):pf.index("[TEACH VECTOR 29]")],
        "wrong_types": replace(replace(replace(pf, "POWER = 100", "POWER = high"), "GAIN = 115", "GAIN = 11.5"),
                               "CELL 2 = 1072", "CELL 2 = 0x430"),
        "beyond_16_bits": replace(replace(replace(pf, "POWER = 100", "POWER = 65536"), "AVERAGE = 102", "AVERAGE = -1"),
                                  "CELL 0 = 1020", "CELL 0 = 70000"),
    })

    ta = table_attributes()
    dup = ta + ["[TABLE ATTR OF TEACH VECTOR 2]", "Row color = 7", 'Row specification = "later"', ""]
    write_cases("table_attributes", ".ini", ta, {
        "latin1": crlf(replace(ta, 'Row specification = "row 5"', 'Row specification = "gr\xfcn, \xbd Deckel"')),
        "duplicated_sections": dup,
        "missing_sections": ta[:4] + ta[4 * 11 + 4:],
        "wrong_types": replace(replace(ta, "Row color = %d" % (0x010101 * 4), "Row color = black"),
                               "Row color = %d" % (0x010101 * 6), "Row color = #060606"),
        "beyond_16_bits": replace(replace(ta, "Row color = %d" % (0x010101 * 2), "Row color = 16777216"),
                                  "Row color = %d" % (0x010101 * 3), "Row color = -1"),
    })


if __name__ == "__main__":
    main()
