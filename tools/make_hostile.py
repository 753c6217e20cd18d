#!/usr/bin/python3
"""Writes the hostile workbooks in tests/data/hostile: broken, lying,
oversized and odd files that the import must either refuse with a message
or read soundly. Run with Debian's /usr/bin/python3; the files are
committed and the tests never run this.

The .xls files are built record by record (a small BIFF8 writer and a
version 3 compound file below), the .xlsx files part by part, so each fault
is exactly the one named.
"""
import io
import pathlib
import struct
import sys
import zipfile
import zlib

OUT = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "hostile"

END_OF_CHAIN, FREE, FAT_SECTOR = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD


# --- BIFF8 records -----------------------------------------------------------

def record(rid, body=b""):
    return struct.pack("<HH", rid, len(body)) + body


def bof(kind):
    return record(0x0809, struct.pack("<HHHHII", 0x0600, kind, 0x0DBB, 0x07CC, 0, 0x0006))


EOF = record(0x000A)


def wide(text):
    """An XLUnicodeString: character count, option byte, UTF-16 units."""
    units = text.encode("utf-16-le", "surrogatepass")
    return struct.pack("<HB", len(units) // 2, 1) + units


def number(r, c, value_bytes):
    return record(0x0203, struct.pack("<HHH", r, c, 15) + value_bytes)


def num(r, c, v):
    return number(r, c, struct.pack("<d", v))


def label(r, c, text):
    return record(0x0204, struct.pack("<HHH", r, c, 15) + wide(text))


def label_sst(r, c, index):
    return record(0x00FD, struct.pack("<HHHI", r, c, 15, index))


def sst(strings, total=None, unique=None):
    body = struct.pack("<II", total if total is not None else len(strings),
                       unique if unique is not None else len(strings))
    return record(0x00FC, body + b"".join(wide(s) for s in strings))


def formula(r, c, result8):
    # Cached result, flags, cache id, then "=1/0" as tokens (tInt 1, tInt 0, tDiv).
    tokens = b"\x1e\x01\x00\x1e\x00\x00\x06"
    return record(0x0006, struct.pack("<HHH", r, c, 15) + result8 + struct.pack("<HIH", 0, 0, len(tokens)) + tokens)


def error_result(code):
    return bytes([2, 0, code, 0, 0, 0, 0xFF, 0xFF])


def workbook_stream(cells, globals_extra=b"", sheet_extra=b""):
    """A globals substream with one worksheet, then that worksheet."""
    name = "Sheet1".encode("latin-1")
    boundsheet_len = 4 + 6 + 2 + len(name)
    head = bof(0x0005) + globals_extra
    offset = len(head) + boundsheet_len + len(EOF)
    boundsheet = record(0x0085, struct.pack("<IBB", offset, 0, 0) + struct.pack("<BB", len(name), 0) + name)
    return head + boundsheet + EOF + bof(0x0010) + sheet_extra + b"".join(cells) + EOF


# --- Compound file -----------------------------------------------------------

def compound_file(streams, fat_edit=None, header_edit=None, directory_edit=None):
    """A version 3 compound file with the (name, bytes) streams below the
    root, each at least 4096 bytes so that none lives in the mini stream.
    The edits may break the FAT, the header or the directory afterwards."""
    body, fat, entries = b"", [], []
    for name, data in streams:
        data = data.ljust(4096, b"\0")
        data = data.ljust((len(data) + 511) // 512 * 512, b"\0")
        first, count = len(fat), len(data) // 512
        fat += [first + i + 1 for i in range(count - 1)] + [END_OF_CHAIN]
        entries.append((name, first, len(data)))
        body += data
    dir_sector = len(fat)
    fat_sector = dir_sector + 1
    fat += [END_OF_CHAIN, FAT_SECTOR]
    assert len(fat) <= 128
    fat += [FREE] * (128 - len(fat))
    if fat_edit:
        fat_edit(fat, entries)
    header = bytearray(bytes.fromhex("D0CF11E0A1B11AE1") + bytes(16)
                       + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + bytes(6)
                       + struct.pack("<IIIIIIIII", 0, 1, dir_sector, 0, 4096, END_OF_CHAIN, 0, END_OF_CHAIN, 0)
                       + struct.pack("<I", fat_sector) + b"\xff" * 4 * 108)
    if header_edit:
        header_edit(header)

    def entry(name, kind, right, child, start, size):
        raw = name.encode("utf-16-le")
        return (raw.ljust(64, b"\0") + struct.pack("<HBB", len(raw) + 2 if name else 0, kind, 1 if kind else 0)
                + struct.pack("<III", FREE, right, child) + bytes(36) + struct.pack("<II", start, size) + bytes(4))

    directory = [entry("Root Entry", 5, FREE, 1, END_OF_CHAIN, 0)]
    for i, (name, start, size) in enumerate(entries):
        right = i + 2 if i + 1 < len(entries) else FREE
        directory.append(entry(name, 2, right, FREE, start, size))
    if directory_edit:
        directory_edit(directory)
    directory = b"".join(directory).ljust(512, b"\0")
    return bytes(header) + body + directory + struct.pack("<128I", *fat)


def xls(cells, **kwargs):
    return compound_file([("Workbook", workbook_stream(cells, **kwargs))])


GOOD_CELLS = [num(0, 0, 1.5), num(0, 1, 2.5), label(1, 0, "缺失"), num(1, 1, 4), num(2, 0, 5), num(2, 1, 6)]


# --- Office Open XML packages ------------------------------------------------

NS = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
RELS_NS = 'xmlns="http://schemas.openxmlformats.org/package/2006/relationships"'
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/"


def package(sheet_xml, shared=None, sheet_target="worksheets/sheet1.xml", workbook_xml=None, extra=None,
            compress=zipfile.ZIP_DEFLATED, sheet_rel_extra=""):
    parts = {
        "[Content_Types].xml": '<?xml version="1.0" encoding="UTF-8"?><Types '
                               'xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        "_rels/.rels": f'<Relationships {RELS_NS}><Relationship Id="rId1" Type="{REL}officeDocument" '
                       'Target="xl/workbook.xml"/></Relationships>',
        "xl/workbook.xml": workbook_xml or (
            f'<workbook {NS} xmlns:r="{REL[:-1]}"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/>'
            '</sheets></workbook>'),
        "xl/_rels/workbook.xml.rels": (
            f'<Relationships {RELS_NS}><Relationship Id="rId1" Type="{REL}worksheet" Target="{sheet_target}"'
            f'{sheet_rel_extra}/><Relationship Id="rId2" Type="{REL}sharedStrings" Target="sharedStrings.xml"/>'
            '</Relationships>'),
    }
    if sheet_xml is not None:
        parts["xl/worksheets/sheet1.xml"] = sheet_xml
    if shared is not None:
        parts["xl/sharedStrings.xml"] = f'<sst {NS}>' + "".join(f"<si><t>{s}</t></si>" for s in shared) + "</sst>"
    parts.update(extra or {})
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", compress, compresslevel=9) as z:
        for name, text in parts.items():
            z.writestr(name, text if isinstance(text, bytes) else text.encode("utf-8"))
    return out.getvalue()


def sheet(rows_xml, dimension="A1:B3", before="", after=""):
    return (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><worksheet {NS}>{before}'
            f'<dimension ref="{dimension}"/><sheetData>{rows_xml}</sheetData>{after}</worksheet>')


GOOD_ROWS = ('<row r="1"><c r="A1"><v>1.5</v></c><c r="B1"><v>2.5</v></c></row>'
             '<row r="2"><c r="A2" t="s"><v>0</v></c><c r="B2"><v>4</v></c></row>'
             '<row r="3"><c r="A3"><v>5</v></c><c r="B3"><v>6</v></c></row>')
GOOD_XLSX = package(sheet(GOOD_ROWS), shared=["缺失"])


ODS_CONTENT = ('<?xml version="1.0" encoding="UTF-8"?><office:document-content '
               'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
               'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
               'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">'
               '<office:body><office:spreadsheet>{}</office:spreadsheet></office:body></office:document-content>')


def ods(tables_xml):
    """An OpenDocument spreadsheet: the mimetype stored first, then content.xml."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr(zipfile.ZipInfo("mimetype"), b"application/vnd.oasis.opendocument.spreadsheet",
                   compress_type=zipfile.ZIP_STORED)
        z.writestr("content.xml", ODS_CONTENT.format(tables_xml).encode("utf-8"))
    return out.getvalue()


def repeated_long_text_ods():
    """Under 1 KB: a million rows of 200 cells, each 32,767 spaces long."""
    cell = ('<table:table-cell table:number-columns-repeated="200" office:value-type="string">'
            '<text:p><text:s text:c="32767"/></text:p></table:table-cell>')
    return ods('<table:table table:name="S"><table:table-row table:number-rows-repeated="1048576">'
               f'{cell}</table:table-row></table:table>')


def repeat_marks_ods():
    """300,000 repeat marks in one cell, each asking for 32,767 spaces."""
    marks = '<text:s text:c="32767"/>' * 300000
    return ods('<table:table table:name="S"><table:table-row><table:table-cell office:value-type="string">'
               f'<text:p>{marks}</text:p></table:table-cell></table:table-row></table:table>')


def shared_long_string_rows():
    """Every cell of 16,000 rows points at one shared string of 32,767 characters."""
    rows = '<row><c t="s"><v>0</v></c><c t="s"><v>0</v></c></row>' * 16000
    return package(sheet(rows, dimension="A1:B16000"), shared=["长" * 32767])


def workbook_behind_dots():
    """The main part named xl/../book/main.xml, with two sheets: listed and read alike."""
    rels = (f'<Relationships {RELS_NS}><Relationship Id="rId1" Type="{REL}officeDocument" '
            'Target="xl/../book/main.xml"/></Relationships>')
    workbook = (f'<workbook {NS} xmlns:r="{REL[:-1]}"><sheets><sheet name="一" sheetId="1" r:id="rId1"/>'
                '<sheet name="二" sheetId="2" r:id="rId2"/></sheets></workbook>')
    book_rels = (f'<Relationships {RELS_NS}><Relationship Id="rId1" Type="{REL}worksheet" Target="s1.xml"/>'
                 f'<Relationship Id="rId2" Type="{REL}worksheet" Target="../book/s2.xml"/></Relationships>')
    first = sheet('<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>2</v></c></row>')
    second = sheet('<row r="1"><c r="A1"><v>3</v></c><c r="B1"><v>4</v></c></row>')
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in {"[Content_Types].xml": '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
                           "_rels/.rels": rels, "book/main.xml": workbook, "book/_rels/main.xml.rels": book_rels,
                           "book/s1.xml": first, "book/s2.xml": second}.items():
            z.writestr(name, text.encode("utf-8"))
    return out.getvalue()


def same_zip(old, new):
    try:
        with zipfile.ZipFile(io.BytesIO(old)) as a, zipfile.ZipFile(io.BytesIO(new)) as b:
            return [(i.filename, a.read(i)) for i in a.infolist()] == [(i.filename, b.read(i)) for i in b.infolist()]
    except (zipfile.BadZipFile, KeyError, ValueError, zlib.error, EOFError):
        return False


def deflated_raw(data):
    """Raw deflate at the highest level, as a zip entry holds it."""
    c = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    return c.compress(data) + c.flush()


def zip_bomb():
    """A sheet part of 200 MiB of white space inside <sheetData>: about
    200 KB compressed, so the ratio check must stop it long before the end."""
    head = f'<worksheet {NS}><sheetData>'.encode()
    tail = b"</sheetData></worksheet>"
    c = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    chunk = b" " * (1 << 20)
    pieces = [c.compress(head)] + [c.compress(chunk) for _ in range(200)] + [c.compress(tail), c.flush()]
    raw = b"".join(pieces)
    size = len(head) + 200 * len(chunk) + len(tail)
    crc = zlib.crc32(head)
    for _ in range(200):
        crc = zlib.crc32(chunk, crc)
    crc = zlib.crc32(tail, crc)
    return append_raw_entry(package(None), "xl/worksheets/sheet1.xml", raw, size, crc)


def append_raw_entry(zip_bytes, name, raw, size, crc):
    """Adds an already deflated entry to a zip archive written by zipfile
    (which cannot take precompressed data)."""
    z = zipfile.ZipFile(io.BytesIO(zip_bytes))
    cd_offset = z.start_dir
    entries = z.infolist()
    local_part = zip_bytes[:cd_offset]
    central = zip_bytes[cd_offset:]
    eocd_at = central.rfind(b"PK\x05\x06")
    central_dir = central[:eocd_at]
    name_b = name.encode()
    local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 8, 0, 0x21, crc, len(raw), size, len(name_b), 0) + name_b
    new_offset = len(local_part)
    central_entry = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, 8, 0, 0x21, crc, len(raw), size,
                                len(name_b), 0, 0, 0, 0, 0, new_offset) + name_b
    body = local_part + local + raw
    cd = central_dir + central_entry
    eocd = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries) + 1, len(entries) + 1, len(cd), len(body), 0)
    return body + cd + eocd


def dense_million_rows():
    """1,048,576 identical rows without row numbers: 27 MB of XML."""
    row = b"<row><c><v>1</v></c></row>"
    head = f'<worksheet {NS}><sheetData>'.encode()
    tail = b"</sheetData></worksheet>"
    c = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    block = row * 4096
    raw = c.compress(head) + b"".join(c.compress(block) for _ in range(256)) + c.compress(tail) + c.flush()
    crc = zlib.crc32(head)
    for _ in range(256):
        crc = zlib.crc32(block, crc)
    crc = zlib.crc32(tail, crc)
    return append_raw_entry(package(None), "xl/worksheets/sheet1.xml", raw,
                            len(head) + 256 * len(block) + len(tail), crc)


def billion_laughs():
    lol = '<!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa">' + "".join(
        f'<!ENTITY {chr(98 + i)} "' + f"&{chr(97 + i)};" * 10 + '">' for i in range(9)) + "]>"
    return package(lol + f'<worksheet {NS}><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&j;</t></is>'
                   '</c></row></sheetData></worksheet>')


def cut(data, fraction):
    return data[: int(len(data) * fraction)]


def set_sector_shift(header):
    header[30:32] = struct.pack("<H", 30)


def fat_loop(fat, entries):
    _, first, _ = entries[0]
    fat[first + 2] = first  # the workbook stream's third sector leads back to its first


def fat_out_of_range(fat, entries):
    _, first, _ = entries[0]
    fat[first + 1] = 0x00FFFFF0


def directory_cycle(directory):
    # The stream's right sibling is the root, whose child is the stream.
    d = bytearray(directory[1])
    d[72:76] = struct.pack("<I", 0)
    directory[1] = bytes(d)


def huge_stream_size(directory):
    d = bytearray(directory[1])
    d[120:124] = struct.pack("<I", 0x7FFFFFF0)
    directory[1] = bytes(d)


def difat_loop():
    """A header that claims 300 FAT sectors, so the reader must follow the
    DIFAT chain, whose only sector names itself as the next one."""
    data = bytearray(compound_file([("Workbook", workbook_stream(GOOD_CELLS))]))
    own = len(data) // 512 - 1  # sector numbers start after the header
    fat_sector = struct.unpack("<I", data[76:80])[0]
    data += struct.pack("<127I", *([fat_sector] * 127)) + struct.pack("<I", own)
    data[44:48] = struct.pack("<I", 300)
    data[68:72] = struct.pack("<I", own)
    data[72:76] = struct.pack("<I", 1000)
    return bytes(data)


def files():
    f = {}
    good_xls = xls(GOOD_CELLS)
    # Nothing, or nothing like a workbook.
    f["empty.xls"] = b""
    f["empty.xlsx"] = b""
    f["text_named.xls"] = "这不是工作簿\n1,2\n3,4\n".encode("utf-8")
    f["text_named.xlsx"] = b"PK but not a zip archive\n"
    f["random_after_signature.xls"] = bytes.fromhex("D0CF11E0A1B11AE1") + bytes((i * 131 + 7) % 256 for i in range(3000))
    # Cut short.
    f["truncated_header.xls"] = good_xls[:300]
    f["truncated_half.xls"] = cut(good_xls, 0.5)
    f["truncated_half.xlsx"] = cut(GOOD_XLSX, 0.5)
    f["truncated_sheet_part.xlsx"] = package(sheet(GOOD_ROWS)[:-60], shared=["缺失"])
    f["truncated_biff_record.xls"] = xls(GOOD_CELLS[:-1] + [GOOD_CELLS[-1][:8]])
    # Locked.
    f["password.xls"] = xls(GOOD_CELLS, globals_extra=record(0x002F, struct.pack("<HHH", 1, 1, 1) + bytes(48)))
    f["encrypted_package.xlsx"] = compound_file([("EncryptionInfo", struct.pack("<HHI", 4, 4, 0x40)),
                                                 ("EncryptedPackage", struct.pack("<Q", 5000) + bytes(5000))])
    # Too big.
    f["zip_bomb.xlsx"] = zip_bomb()
    f["rows_1048576_dense.xlsx"] = dense_million_rows()
    f["rows_1048576_sparse.xlsx"] = package(sheet('<row r="1"><c r="A1"><v>1</v></c></row>'
                                                  '<row r="1048576"><c r="A1048576"><v>2</v></c></row>',
                                                  dimension="A1:B1048576"))
    f["rows_65536.xls"] = xls([num(0, 0, 1), num(65535, 0, 2)])
    f["rows_32768.xlsx"] = package(sheet('<row r="32768"><c r="B32768"><v>2</v></c></row>', dimension="B32768"))
    f["huge_dimension.xlsx"] = package(sheet(GOOD_ROWS, dimension="A1:XFD1048576"), shared=["缺失"])
    f["billion_laughs.xlsx"] = billion_laughs()
    # Long and odd texts.
    long_text = "长" * 50000 + "x" * 50000
    f["long_strings.xlsx"] = package(sheet(f'<row r="1"><c r="A1" t="inlineStr"><is><t>{long_text}</t></is></c>'
                                           '<c r="B1" t="s"><v>0</v></c></row>'), shared=[long_text])
    f["long_string_count_lie.xls"] = xls([record(0x0204, struct.pack("<HHH", 0, 0, 15) + struct.pack("<HB", 100000 % 65536, 0) + b"abc")])
    # Bytes that are not UTF-8 in a cell's text: a stray continuation byte and 0xFF.
    f["invalid_utf8.xlsx"] = package(None, extra={"xl/worksheets/sheet1.xml": sheet(
        '<row r="1"><c r="A1" t="inlineStr"><is><t>OK</t></is></c></row>').encode().replace(b"OK", b"\xc3\x28\xff")})
    f["unpaired_surrogates.xls"] = xls([label(0, 0, "a\ud800b"), label(0, 1, "\udc00"), num(1, 0, 1)])
    f["nan_inf.xls"] = xls([number(0, 0, struct.pack("<d", float("nan"))), number(0, 1, struct.pack("<d", float("inf"))),
                            number(1, 0, struct.pack("<d", float("-inf"))), num(1, 1, 2)])
    f["nan_rk.xls"] = xls([record(0x027E, struct.pack("<HHHI", 0, 0, 15, 0x7FF80000)), num(0, 1, 1)])
    # Errors, formulas and merged cells: these are sound workbooks.
    f["formula_errors.xls"] = xls([formula(0, 0, error_result(0x07)), num(0, 1, 1),
                                   record(0x0205, struct.pack("<HHHBB", 1, 0, 15, 0x2A, 1)), num(1, 1, 2),
                                   formula(2, 0, struct.pack("<d", 3.0)), num(2, 1, 3)])
    f["formula_errors.xlsx"] = package(sheet('<row r="1"><c r="A1" t="e"><f>1/0</f><v>#DIV/0!</v></c><c r="B1"><v>1</v></c></row>'
                                             '<row r="2"><c r="A2" t="e"><f>NA()</f><v>#N/A</v></c><c r="B2"><v>2</v></c></row>'
                                             '<row r="3"><c r="A3"><f>1+2</f><v>3</v></c><c r="B3"><f>A9</f><v></v></c></row>'))
    f["formula_string_without_string.xls"] = xls([formula(0, 0, bytes([0, 0, 0, 0, 0, 0, 0xFF, 0xFF])), num(0, 1, 1)])
    merge = record(0x00E5, struct.pack("<HHHHH", 1, 0, 2, 0, 1))
    f["merged_cells.xls"] = xls(GOOD_CELLS + [merge])
    f["merged_cells.xlsx"] = package(sheet(GOOD_ROWS, after='<mergeCells count="1"><mergeCell ref="A1:B2"/></mergeCells>'),
                                     shared=["缺失"])
    # Lies inside the containers.
    f["fat_loop.xls"] = compound_file([("Workbook", workbook_stream(GOOD_CELLS * 60))], fat_edit=fat_loop)
    f["fat_out_of_range.xls"] = compound_file([("Workbook", workbook_stream(GOOD_CELLS * 60))], fat_edit=fat_out_of_range)
    f["difat_loop.xls"] = difat_loop()
    f["sector_shift_30.xls"] = compound_file([("Workbook", workbook_stream(GOOD_CELLS))], header_edit=set_sector_shift)
    f["directory_cycle.xls"] = compound_file([("Workbook", workbook_stream(GOOD_CELLS))], directory_edit=directory_cycle)
    f["stream_size_lie.xls"] = compound_file([("Workbook", workbook_stream(GOOD_CELLS))], directory_edit=huge_stream_size)
    f["sst_count_lie.xls"] = xls([label_sst(0, 0, 0), label_sst(0, 1, 5)],
                                 globals_extra=sst(["一", "二"], total=1000000, unique=1000000))
    f["sheet_offset_past_end.xls"] = compound_file([("Workbook", workbook_stream(GOOD_CELLS)[:-40])])
    f["no_worksheet.xls"] = compound_file([("Workbook", bof(0x0005) + EOF)])
    f["bof_only.xls"] = compound_file([("Workbook", bof(0x0005))])
    f["rels_outside_package.xlsx"] = package(sheet(GOOD_ROWS), shared=["缺失"], sheet_target="../../../../etc/passwd")
    f["rels_absolute_outside.xlsx"] = package(sheet(GOOD_ROWS), shared=["缺失"], sheet_target="/../../tmp/sheet1.xml")
    f["rels_external.xlsx"] = package(sheet(GOOD_ROWS), shared=["缺失"], sheet_target="file:///etc/passwd",
                                      sheet_rel_extra=' TargetMode="External"')
    f["rels_to_itself.xlsx"] = package(sheet(GOOD_ROWS), shared=["缺失"], sheet_target="../xl/workbook.xml")
    f["shared_index_past_end.xlsx"] = package(sheet('<row r="1"><c r="A1" t="s"><v>7</v></c></row>'), shared=["a"])
    f["no_sheets.xlsx"] = package(sheet(GOOD_ROWS), workbook_xml=f'<workbook {NS}><sheets/></workbook>')
    f["bad_cell_reference.xlsx"] = package(sheet('<row r="1"><c r="ZZZZ1"><v>1</v></c></row>'))
    f["deep_nesting.xlsx"] = package(sheet(GOOD_ROWS, after="<x>" * 20000 + "</x>" * 20000), shared=["缺失"])
    f["repeated_long_text.ods"] = repeated_long_text_ods()
    f["repeat_marks.ods"] = repeat_marks_ods()
    f["shared_long_string_rows.xlsx"] = shared_long_string_rows()
    f["workbook_behind_dots.xlsx"] = workbook_behind_dots()
    f["xlsx_named.xls"] = GOOD_XLSX
    f["xls_named.xlsx"] = good_xls
    f.update(statistics_files())
    return f


def statistics_files():
    """Statistics packages' files made hostile from the fixtures PSPP and R
    wrote (tools/make_stat_fixtures.sh)."""
    data = OUT.parent
    sav = (data / "pspp_clinic.sav").read_bytes()
    zsav = (data / "pspp_clinic.zsav").read_bytes()
    por = (data / "pspp_clinic.por").read_bytes()
    dta = (data / "readstata13_clinic.dta").read_bytes()
    xpt = (data / "haven_clinic.xpt").read_bytes()
    sas = (data / "haven_clinic.sas7bdat").read_bytes()
    f = {}
    f["truncated_half.sav"] = cut(sav, 0.5)
    f["truncated_half.dta"] = cut(dta, 0.5)
    f["truncated_half.por"] = cut(por, 0.5)
    f["truncated_half.xpt"] = cut(xpt, 0.5)
    f["truncated_half.sas7bdat"] = cut(sas, 0.5)
    f["random_after_signature.sav"] = b"$FL2" + bytes((i * 131 + 7) % 256 for i in range(3000))
    # A case count of 2,147,483,647 in the header, four cases in the file.
    f["case_count_lie.sav"] = sav[:80] + struct.pack("<i", 0x7FFFFFFF) + sav[84:]
    # 65,535 variables declared in a file that holds five.
    at = dta.index(b"<K>") + 3
    f["variable_count_lie.dta"] = dta[:at] + struct.pack("<H", 0xFFFF) + dta[at + 2:]
    # One variable declared in a portable file that describes five: a reader
    # trusting the count writes past what it allocated.
    f["variable_count_lie.por"] = por.replace(b"45/5B/", b"41/5B/", 1)
    # A string variable as wide as the format allows, declared by a file of
    # a few hundred bytes.
    at = dta.index(b"<variable_types>") + len(b"<variable_types>")
    f["string_width_lie.dta"] = dta[:at] + struct.pack("<H", 2045) * 5 + dta[at + 10:]
    # The compressed blocks of a .zsav overwritten: a bad deflate stream.
    end = len(zsav) - 60
    f["bad_compression.zsav"] = zsav[:end - 200] + bytes((i * 37 + 11) % 256 for i in range(200)) + zsav[end:]
    return f


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    made = files()
    for name, data in made.items():
        # A zip holds the time it was made: files whose content is the same
        # are left alone, so that a rerun changes only what changed.
        path = OUT / name
        if path.exists() and name.endswith((".xlsx", ".ods")) and same_zip(path.read_bytes(), data):
            continue
        path.write_bytes(data)
    print(f"{len(made)} files written to {OUT}")


if __name__ == "__main__":
    sys.exit(main())
