#!/usr/bin/python3
"""Regenerates the workbook fixtures in tests/data.

Run with Debian's python (/usr/bin/python3) after
  apt-get install python3-openpyxl python3-xlwt python3-xlsxwriter libreoffice-calc-nogui
The fixtures are committed; tests never run this. Each file comes from a real
spreadsheet program or library: LibreOffice (headless) for .xls, .xlsx and
password-protected files, and openpyxl, xlwt and xlsxwriter for the files
those libraries write. Three files are made here because no writer at hand
produces them: one library output with its XML edited (no cell references,
rich and phonetic shared strings), an Excel 95 workbook (LibreOffice 7.4 no
longer exports that format; xlrd checks it when it is made), and the
container of an encrypted .xlsx.
"""
import datetime
import os
import pathlib
import re
import struct
import shutil
import subprocess
import sys
import tempfile
import zipfile

import openpyxl
import xlsxwriter
import xlwt

HERE = pathlib.Path(__file__).resolve().parent
DATA = HERE.parent / "tests" / "data"
WORK = pathlib.Path(tempfile.mkdtemp(prefix="korvanta-fixtures-"))
PROFILE = WORK / "profile"
PASSWORD = "korvanta"


def soffice(*args):
    subprocess.run(["soffice", f"-env:UserInstallation=file://{PROFILE}", "--headless", *args],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=600)


def convert(source, target_name, filter_spec):
    """LibreOffice loads source, recalculates it and saves it with filter_spec."""
    out = WORK / "out"
    out.mkdir(exist_ok=True)
    ext = target_name.rsplit(".", 1)[1]
    soffice("--convert-to", f"{ext}:{filter_spec}", "--outdir", str(out), str(source))
    shutil.move(out / (source.stem + "." + ext), DATA / target_name)


def mixed_source():
    """Headings, numbers, a blank, formulas, booleans, errors, Chinese text,
    a date, a row used only beyond column B, and a second sheet."""
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "数据"
    rows = [
        ["组别", "数值"],
        [1.5, 2],
        [None, 3],
        ["=B2*2", "=1/0"],
        [True, False],
        ["中文文本", "mixed ASCII"],
        ["=NA()", '=A2&"x"'],
        [-0.25, 1e-10],
        [datetime.datetime(2023, 3, 15), 123456789012345],
        [None, None, "other column"],
        ["=1>0", "  spaced  "],
    ]
    for row in rows:
        ws.append(row)
    ws["A9"].number_format = "yyyy-mm-dd"
    other = wb.create_sheet("其他")
    other["A1"] = "not the first sheet"
    path = WORK / "mixed.xlsx"
    wb.save(path)
    return path


def from_row5_source():
    wb = openpyxl.Workbook()
    ws = wb.active
    for r, (a, b) in enumerate([(10, 20), ("x", None), (None, 30.5), (40, "y")], start=5):
        ws.cell(r, 1, a)
        ws.cell(r, 2, b)
    path = WORK / "from_row5.xlsx"
    wb.save(path)
    return path


def big_source():
    """32,767 rows: a heading, then i and i/4 (whole and quarter numbers)."""
    wb = openpyxl.Workbook(write_only=True)
    ws = wb.create_sheet("Sheet1")
    ws.append(["X", "Y"])
    for i in range(1, 32767):
        ws.append([i, i / 4])
    path = WORK / "rows32767.xlsx"
    wb.save(path)
    return path


def openpyxl_fixture():
    """openpyxl's own file: absolute part names in the relationships,
    formulas without cached values, an ISO date cell (t="d")."""
    wb = openpyxl.Workbook(iso_dates=True)
    ws = wb.active
    ws.append(["名称", "值"])
    ws.append([1, 2.5])
    ws.append(["=A2+1", True])
    ws.append([datetime.datetime(2023, 3, 15, 12, 0), "文本"])
    ws.cell(7, 2, "last")
    wb.save(DATA / "openpyxl_mixed.xlsx")


def xlwt_fixture():
    """Shared strings long enough to run over CONTINUE records (in both
    character widths), rich text runs, booleans and an error constant."""
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("第一页")
    ws.write(0, 0, "标题")
    ws.write(0, 1, 3.25)
    ws.write(1, 0, "中" * 5000)
    ws.write(1, 1, "a" * 9000)
    ws.write_rich_text(2, 0, ("rich ", ("text", xlwt.easyxf("font: bold on").font)))
    ws.write(2, 1, True)
    ws.row(3).set_cell_error(0, "#DIV/0!")
    ws.write(3, 1, -7)
    for r in range(4, 400):
        ws.write(r, 0, f"行{r}")
        ws.write(r, 1, r * 1.5)
    wb.add_sheet("Second").write(0, 0, "ignored")
    wb.save(str(DATA / "xlwt_strings.xls"))


def xlsxwriter_fixtures():
    """Inline strings (constant-memory mode), cached formula results, a
    formatted blank cell extending the used range, and a workbook whose first
    sheet is a chart sheet."""
    wb = xlsxwriter.Workbook(str(DATA / "xlsxwriter_inline.xlsx"), {"constant_memory": True})
    ws = wb.add_worksheet()
    bold = wb.add_format({"bold": True})
    ws.write_string(0, 0, "标题")
    ws.write_number(0, 1, 42)
    ws.write_boolean(1, 0, True)
    ws.write_formula(1, 1, "=1/0", None, "#DIV/0!")
    ws.write_formula(2, 0, "=B1*2", None, 84)
    ws.write_formula(2, 1, '="a"&"b"', None, "ab")
    ws.write_string(3, 0, "line1\nline2")
    ws.write_blank(11, 0, None, bold)
    wb.close()

    wb = xlsxwriter.Workbook(str(DATA / "xlsxwriter_chartsheet_first.xlsx"))
    charts = wb.add_chartsheet("图表")
    data = wb.add_worksheet("Data")
    for r in range(3):
        data.write_number(r, 0, r + 1)
        data.write_number(r, 1, (r + 1) * 10)
    chart = wb.add_chart({"type": "column"})
    chart.add_series({"values": "=Data!$B$1:$B$3"})
    charts.set_chart(chart)
    wb.close()


def edited_fixture():
    """xlsxwriter output with its sheet XML stripped of cell and row
    references and its shared strings replaced by rich, phonetic, escaped
    and whitespace-preserving entries."""
    path = WORK / "edit.xlsx"
    wb = xlsxwriter.Workbook(str(path))
    ws = wb.add_worksheet()
    for r in range(4):
        ws.write_string(r, 0, f"s{r}")
    ws.write_number(0, 1, 1)
    ws.write_number(2, 1, 3)
    wb.close()
    strings = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
               '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="4" uniqueCount="4">'
               '<si><t>plain</t></si>'
               '<si><r><rPr><b/></rPr><t xml:space="preserve">Hello </t></r><r><t>世界</t></r></si>'
               '<si><t>日本</t><rPh sb="0" eb="2"><t>ニホン</t></rPh></si>'
               '<si><t xml:space="preserve"> a_x000D_b _x005F_x0041_ </t></si>'
               '</sst>')
    out = DATA / "edited_no_refs.xlsx"
    with zipfile.ZipFile(path) as src, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as dst:
        for item in src.infolist():
            data = src.read(item.filename)
            if item.filename == "xl/worksheets/sheet1.xml":
                data = re.sub(rb' r="[A-Z]*[0-9]+"', b"", data)
            elif item.filename == "xl/sharedStrings.xml":
                data = strings.encode()
            dst.writestr(item.filename, data)


def biff5_record(rid, body):
    return struct.pack("<HH", rid, len(body)) + body


def compound_file(streams):
    """A version 3 compound file holding the given (name, bytes) streams
    below the root, each padded to 4096 bytes so no mini stream is needed."""
    body, fat, entries = b"", [], []
    for name, data in streams:
        data = data.ljust(4096, b"\0")
        data = data.ljust((len(data) + 511) // 512 * 512, b"\0")
        first, count = len(fat), len(data) // 512
        fat += [first + i + 1 for i in range(count - 1)] + [0xFFFFFFFE]
        entries.append((name, first, len(data)))
        body += data
    dir_sector = len(fat)
    fat_sector = dir_sector + 1
    fat += [0xFFFFFFFE, 0xFFFFFFFD]
    assert len(fat) <= 128
    fat += [0xFFFFFFFF] * (128 - len(fat))
    header = (bytes.fromhex("D0CF11E0A1B11AE1") + bytes(16)
              + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + bytes(6)
              + struct.pack("<IIIIIIIII", 0, 1, dir_sector, 0, 4096, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0)
              + struct.pack("<I", fat_sector) + b"\xff" * 4 * 108)

    def entry(name, kind, right, child, start, size):
        raw = name.encode("utf-16-le")
        return (raw.ljust(64, b"\0") + struct.pack("<HBB", len(raw) + 2 if name else 0, kind, 1 if kind else 0)
                + struct.pack("<III", 0xFFFFFFFF, right, child) + bytes(36)
                + struct.pack("<II", start, size) + bytes(4))

    # The streams hang off the root as a chain of right siblings, all black.
    directory = entry("Root Entry", 5, 0xFFFFFFFF, 1, 0xFFFFFFFE, 0)
    for i, (name, start, size) in enumerate(entries):
        right = i + 2 if i + 1 < len(entries) else 0xFFFFFFFF
        directory += entry(name, 2, right, 0xFFFFFFFF, start, size)
    directory = directory.ljust(512, b"\0")
    return header + body + directory + struct.pack("<128I", *fat)


def encrypted_ooxml_fixture():
    """The container a password-protected .xlsx is stored in: a compound
    file with EncryptionInfo and EncryptedPackage streams. No writer at hand
    encrypts OOXML, so the streams hold a version header and filler; only the
    container's shape matters to a reader without the password."""
    info = struct.pack("<HHI", 4, 4, 0x40) + b'<?xml version="1.0"?><encryption/>'
    package = struct.pack("<Q", 5000) + bytes(range(256)) * 20
    (DATA / "made_encrypted.xlsx").write_bytes(
        compound_file([("EncryptionInfo", info), ("EncryptedPackage", package)]))


def excel95_fixture():
    """A BIFF5 workbook in a "Book" stream, as Excel 5 and 95 saved them."""
    def bof(kind):
        return biff5_record(0x0809, struct.pack("<HHHH", 0x0500, kind, 0x0DBB, 0x07CC))

    def label(r, c, text):
        raw = text.encode("cp1252")
        return biff5_record(0x0204, struct.pack("<HHHH", r, c, 15, len(raw)) + raw)

    def number(r, c, v):
        return biff5_record(0x0203, struct.pack("<HHHd", r, c, 15, v))

    sheet = bof(0x10) + label(0, 0, "Excel 95") + number(0, 1, 1.5) + number(1, 0, 2) + biff5_record(0x000A, b"")
    name = b"Sheet1"
    xfs = b"".join(biff5_record(0x00E0, struct.pack("<HHH", 0, 0, 0xFFF5 if i < 15 else 0x0001) + bytes(10))
                   for i in range(16))
    globals_without_sheet = bof(0x05) + biff5_record(0x0042, struct.pack("<H", 1252)) + xfs
    boundsheet_len = 4 + 6 + 1 + len(name)
    eof = biff5_record(0x000A, b"")
    offset = len(globals_without_sheet) + boundsheet_len + len(eof)
    boundsheet = biff5_record(0x0085, struct.pack("<IH", offset, 0) + bytes([len(name)]) + name)
    path = DATA / "made_excel95.xls"
    path.write_bytes(compound_file([("Book", globals_without_sheet + boundsheet + eof + sheet)]))
    import xlrd
    book = xlrd.open_workbook(str(path))
    assert book.biff_version in (50, 70), book.biff_version  # Excel 5 or 95
    assert book.sheet_by_index(0).row_values(0) == ["Excel 95", 1.5]


BASIC_MODULE = """<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE script:module PUBLIC "-//OpenOffice.org//DTD OfficeDocument 1.0//EN" "module.dtd">
<script:module xmlns:script="http://openoffice.org/2000/script" script:name="Module1" script:language="StarBasic">
Sub SaveWithPassword(src As String, dst As String, filterName As String, secret As String)
  Dim load(0) As New com.sun.star.beans.PropertyValue
  load(0).Name = "Hidden" : load(0).Value = True
  doc = StarDesktop.loadComponentFromURL(ConvertToURL(src), "_blank", 0, load())
  Dim save(1) As New com.sun.star.beans.PropertyValue
  save(0).Name = "FilterName" : save(0).Value = filterName
  save(1).Name = "Password" : save(1).Value = secret
  doc.storeToURL(ConvertToURL(dst), save())
  doc.close(True)
End Sub
</script:module>
"""


def password_fixtures(source):
    """LibreOffice saving with a password, through a Basic macro placed in
    the throwaway profile (the command line has no password option)."""
    soffice("--terminate_after_init")
    module = PROFILE / "user" / "basic" / "Standard" / "Module1.xba"
    module.write_text(BASIC_MODULE)
    # LibreOffice 7.4 encrypts .xls this way but saves .xlsx unencrypted.
    for name, filter_name in [("lo_password.xls", "MS Excel 97")]:
        target = WORK / name
        soffice(f'macro:///Standard.Module1.SaveWithPassword("{source}","{target}","{filter_name}","{PASSWORD}")')
        shutil.move(target, DATA / name)


def main():
    DATA.mkdir(parents=True, exist_ok=True)
    mixed = mixed_source()
    convert(mixed, "lo_mixed.xls", "MS Excel 97")
    convert(mixed, "lo_mixed.xlsx", "Calc MS Excel 2007 XML")
    row5 = from_row5_source()
    convert(row5, "lo_from_row5.xls", "MS Excel 97")
    convert(row5, "lo_from_row5.xlsx", "Calc MS Excel 2007 XML")
    big = big_source()
    convert(big, "lo_rows32767.xls", "MS Excel 97")
    convert(big, "lo_rows32767.xlsx", "Calc MS Excel 2007 XML")
    openpyxl_fixture()
    xlwt_fixture()
    xlsxwriter_fixtures()
    edited_fixture()
    excel95_fixture()
    encrypted_ooxml_fixture()
    password_fixtures(mixed)
    shutil.rmtree(WORK)
    print("fixtures written to", DATA)


if __name__ == "__main__":
    sys.exit(main())
