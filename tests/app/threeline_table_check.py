#!/usr/bin/env python3
"""The HTML flavour of "复制结果" as LibreOffice Writer takes it: each test's
copy is converted to .odt by LibreOffice headless, and the table's rules are
read back from the document's cell styles: a thick rule above and a thin one
below the heading row, a thick rule below the last row, nothing else; the
sentence follows the table. The same for "复制三线表": the journal table with
its title above and its note below.

usage: threeline_table_check.py DRIVER WORKDIR"""
import os
import re
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET
import zipfile

DRIVER, WORK = sys.argv[1], sys.argv[2]
NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
}

# Each test with data that gives a sentence; the sentence starts as shown.
CASES = [
    ("two-sample", ["set Text4(0) 10", "set Text4(1) 2", "set Text4(2) 10", "set Text4(3) 12", "set Text4(4) 2", "set Text4(5) 10"], "t = 2.236"),
    ("paired", ["click Command1(1)", "paste Text1(0) 10\\t8\\n12\\t9\\n9\\t9\\n14\\t10\\n11\\t7"], "t = "),
    ("correlation", ["click Command1(2)", "paste Text1(0) 1\\t2.1\\n2\\t3.9\\n3\\t6.2\\n4\\t7.8\\n5\\t10.1"], "r = "),
    ("four-fold", ["click Command1(3)", "type Text11(0) 30", "type Text11(1) 10", "type Text11(2) 15", "type Text11(3) 25"], "χ² = "),
    ("paired table", ["click Command1(4)", "type Text11(0) 40", "type Text11(1) 25", "type Text11(2) 10", "type Text11(3) 30"], "McNemar"),
]


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t", "r": "\r", "\\": "\\"}[m.group(1)], text)


DETAILS_COPY = ["shortcut Ctrl+D", "click CopyDetails"]
JOURNAL_COPY = ["menu 复制三线表"]


def copied_html(commands, copy=DETAILS_COPY):
    script = "\n".join(commands + copy + ["print clipboard.html clipboard"]) + "\n"
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    out = subprocess.run([DRIVER], input=script, capture_output=True, text=True, env=env, check=True).stdout
    values = dict(line.split("=", 1) for line in out.splitlines())
    return unescape(values["clipboard.html"]), unescape(values["clipboard"])


def points(border):
    """The width of a border such as '1.5pt solid #000000' in points; 0 for none."""
    if not border or border == "none":
        return 0.0
    m = re.match(r"([\d.]+)(pt|in|cm|mm)", border)
    factor = {"pt": 1.0, "in": 72.0, "cm": 72 / 2.54, "mm": 72 / 25.4}[m.group(2)]
    return float(m.group(1)) * factor


def to_odt(name, html):
    path = os.path.join(WORK, name + ".html")
    with open(path, "w", encoding="utf-8") as f:
        f.write(html)
    subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + os.path.join(WORK, "profile"),
                    "--infilter=HTML (StarWriter)", "--convert-to", "odt", "--outdir", WORK, path],
                   capture_output=True, check=True, timeout=240)
    with zipfile.ZipFile(os.path.join(WORK, name + ".odt")) as odt:
        return ET.fromstring(odt.read("content.xml"))


def cell_borders(root):
    styles = {}
    for st in root.iter("{%s}style" % NS["style"]):
        props = st.find("style:table-cell-properties", NS)
        if props is None:
            continue
        get = lambda side: props.get("{%s}border-%s" % (NS["fo"], side), props.get("{%s}border" % NS["fo"], "none"))
        styles[st.get("{%s}name" % NS["style"])] = {side: points(get(side)) for side in ("top", "bottom", "left", "right")}
    return styles


class ThreeLineCopy(unittest.TestCase):
    def three_line_table(self, name, html, least_rows):
        """The single table of the pasted HTML, checked for its three rules."""
        root = to_odt(name.replace(" ", "_"), html)
        tables = list(root.iter("{%s}table" % NS["table"]))
        self.assertEqual(len(tables), 1, "one table")
        styles = cell_borders(root)
        rows = list(tables[0].iter("{%s}table-row" % NS["table"]))
        self.assertGreaterEqual(len(rows), least_rows)
        for r, row in enumerate(rows):
            for cell in row.findall("table:table-cell", NS):
                b = styles.get(cell.get("{%s}style-name" % NS["table"]), {"top": 0, "bottom": 0, "left": 0, "right": 0})
                self.assertEqual((b["left"], b["right"]), (0, 0), "no vertical rules (row %d)" % r)
                if r == 0:
                    self.assertGreaterEqual(b["top"], 1.2, "thick rule above the heading")
                    self.assertTrue(0.3 <= b["bottom"] < 1.2, "thin rule under the heading")
                elif r == len(rows) - 1:
                    self.assertEqual(b["top"], 0)
                    self.assertGreaterEqual(b["bottom"], 1.2, "thick rule under the last row")
                else:
                    self.assertEqual((b["top"], b["bottom"]), (0, 0), "no rules inside the body (row %d)" % r)
        body = root.find("office:body/office:text", NS)
        children = list(body)
        after = children[children.index(tables[0]) + 1:]
        before = children[:children.index(tables[0])]
        return ("".join("".join(p.itertext()) for p in before), "".join("".join(p.itertext()) for p in after))

    def test_every_test_pastes_as_a_three_line_table(self):
        for name, commands, sentence in CASES:
            with self.subTest(name):
                html, text = copied_html(commands)
                self.assertTrue(text.strip(), "the plain text flavour stays")
                _, following = self.three_line_table(name, html, 4)
                # The sentence is the first paragraph after the table.
                self.assertTrue(following.strip().startswith(sentence), following[:80])

    def test_every_journal_table_pastes_as_a_three_line_table(self):
        for name, commands, _ in CASES:
            with self.subTest(name):
                html, text = copied_html(commands, JOURNAL_COPY)
                self.assertTrue(text.startswith("表1 "), "the plain text flavour starts with the title")
                title, note = self.three_line_table("journal " + name, html, 2)
                self.assertTrue(title.strip().startswith("表1 "), title[:80])
                self.assertTrue(note.strip().startswith("注："), note[:80])


if __name__ == "__main__":
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)
