#!/usr/bin/python3
"""Writes the committed seed corpus in fuzz/corpus/: short number texts for
the text targets, and small workbooks for the readers (the .xlsx parts
stored uncompressed, so mutations reach the XML instead of breaking the
deflate stream). Run with Debian's /usr/bin/python3 (xlwt, openpyxl)."""
import io
import os
import zipfile

import openpyxl
import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


NUMBERS = ["0", "1", "-1", "1.5", ".5", "5.", "-.25", " 12.34567 ", "0.00005", "0.00015", "1e3", "2.5E-2",
           "1e-5", "-0", "9223372036854775807", "922337203685477.5807", "1..2", "nan", "inf", "0x10", "+3",
           "1,000", "。5", "1。", "12abc", "1e", "1e+", "--1", "1e400", "4.99995", "-9999.99995", "缺失"]

for target in ("parse_fixed4", "leading_number", "format_four_decimals", "clean_cell_text"):
    for i, text in enumerate(NUMBERS):
        put(target, "n%02d" % i, text)
put("clean_cell_text", "cn", "12。")
put("clean_cell_text", "bad_utf8", b"12\xe3\x80")

# Two columns as the round-trip target reads them: lines, NUL to column B.
for target in ("xls_roundtrip", "xlsx_roundtrip"):
    put(target, "numbers", "1\n2.5\n-3e2\n\x004\n5\n")
    put(target, "texts", "缺失\n\nabc\x00x\n1.5\n")
    put(target, "mixed", ".5\n5.\n+1\n 1\n1e308\x00-0\n0.1\n")
    put(target, "escapes", "a&b<c>\n_x0041_\n\x01\x1f\r\t\x00 lead\ntrail \n007\n1234567890123456\n")


def xls(rows, **kwargs):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is not None:
                sheet.write(r, c, value, **kwargs)
    out = io.BytesIO()
    book.save(out)
    return out.getvalue()


put("xls_reader", "numbers.xls", xls([[1, 2.5], [3, -4], [None, 5]]))
put("xls_reader", "texts.xls", xls([["缺失", "abc"], [1.25, "x" * 40], [True, None]]))


def stored(data):
    """The same package with every part stored rather than deflated."""
    src = zipfile.ZipFile(io.BytesIO(data))
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_STORED) as z:
        for info in src.infolist():
            z.writestr(info.filename, src.read(info.filename))
    return out.getvalue()


def xlsx(rows):
    book = openpyxl.Workbook()
    sheet = book.active
    for row in rows:
        sheet.append(row)
    out = io.BytesIO()
    book.save(out)
    return stored(out.getvalue())


put("xlsx_reader", "numbers.xlsx", xlsx([[1, 2.5], [3, -4], [None, 5]]))
put("xlsx_reader", "texts.xlsx", xlsx([["缺失", "abc"], [1.25, "x&y<z"], [True, None]]))

# The least a reader accepts: four parts, an inline string and a shared one.
MINIMAL = {
    "[Content_Types].xml": '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
    "_rels/.rels": '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>',
    "xl/workbook.xml": '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                       'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
                       '<sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>',
    "xl/_rels/workbook.xml.rels": '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                                  '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>'
                                  '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>',
    "xl/worksheets/sheet1.xml": '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><dimension ref="A1:B3"/><sheetData>'
                                '<row r="1"><c r="A1"><v>1.5</v></c><c r="B1" t="s"><v>0</v></c></row>'
                                '<row r="3"><c r="A3" t="inlineStr"><is><t>a_x000D_&amp;b</t></is></c><c r="B3" t="e"><v>#N/A</v></c></row>'
                                '</sheetData></worksheet>',
    "xl/sharedStrings.xml": '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>缺失</t><rPh><t>x</t></rPh></si></sst>',
}
out = io.BytesIO()
with zipfile.ZipFile(out, "w", zipfile.ZIP_STORED) as z:
    for name, text in MINIMAL.items():
        z.writestr(name, text)
put("xlsx_reader", "minimal.xlsx", out.getvalue())
