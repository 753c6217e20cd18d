#!/usr/bin/env bash
# Regenerates the import fixtures of the paste, formats and report tests in
# tests/data with LibreOffice (Debian's libreoffice-calc-nogui, not needed
# to build or test): one three-sheet workbook saved as .ods, .xlsx and .xls,
# and its first sheet saved as text the ways Calc saves it.
#   lo_sheets.*         sheets 身高 (headings, blanks, a formula, a date, a
#                       comment, an error, repeated cells, German decimals,
#                       a note in column D), 第二组 (3 rows, then a million
#                       formatted empty rows) and 空表 (empty)
#   lo_comma.csv        UTF-8, comma, cells as shown
#   lo_semicolon.csv    UTF-8, semicolon (decimal commas stay in the text)
#   lo_unicode.txt      UTF-16 with its mark, tab-separated ("Unicode text")
#   lo_gb18030.csv      GB18030, comma (what Calc and Excel write on a
#                       Chinese system)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/tests/data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
mkdir -p "$HOME"

cat > "$work/lo_sheets.fods" <<'FODS'
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
<number:date-style style:name="D1"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/></number:date-style>
<number:number-style style:name="N1" number:language="de" number:country="DE"><number:number number:decimal-places="1" number:min-integer-digits="1"/></number:number-style>
<style:style style:name="cedate" style:family="table-cell" style:data-style-name="D1"/>
<style:style style:name="cede" style:family="table-cell" style:data-style-name="N1"/>
</office:automatic-styles>
<office:body><office:spreadsheet>
<table:table table:name="身高">
<table:table-row><table:table-cell office:value-type="string"><text:p>身高</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>体重</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="170.5"><text:p>170.5</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="65"><text:p>65</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="168"><text:p>168</text:p></table:table-cell><table:table-cell/></table:table-row>
<table:table-row><table:table-cell table:formula="of:=[.A2]+1" office:value-type="float" office:value="171.5"><text:p>171.5</text:p></table:table-cell><table:table-cell office:value-type="boolean" office:boolean-value="true"><text:p>TRUE</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell table:style-name="cedate" office:value-type="date" office:date-value="2024-03-01"><text:p>2024-03-01</text:p></table:table-cell><table:table-cell office:value-type="string"><text:p>两个<text:s text:c="2"/>空格</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell table:number-columns-repeated="2"/></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="172"><office:annotation><text:p>测量两次</text:p></office:annotation><text:p>172</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="70"><text:p>70</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell table:formula="of:=1/0"/><table:table-cell office:value-type="float" office:value="80"><text:p>80</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="5"><text:p>5</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="5"><text:p>5</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="5"><text:p>5</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="5"><text:p>5</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell table:style-name="cede" office:value-type="float" office:value="1.5"><text:p>1,5</text:p></table:table-cell><table:table-cell table:style-name="cede" office:value-type="float" office:value="-2.25"><text:p>-2,3</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell table:number-columns-repeated="3"/><table:table-cell office:value-type="string"><text:p>备注</text:p></table:table-cell></table:table-row>
</table:table>
<table:table table:name="第二组">
<table:table-row><table:table-cell office:value-type="float" office:value="1"><text:p>1</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="4"><text:p>4</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="2"><text:p>2</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="5"><text:p>5</text:p></table:table-cell></table:table-row>
<table:table-row><table:table-cell office:value-type="float" office:value="3"><text:p>3</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="6"><text:p>6</text:p></table:table-cell></table:table-row>
<table:table-row table:number-rows-repeated="1048000"><table:table-cell table:style-name="cede" table:number-columns-repeated="2"/></table:table-row>
</table:table>
<table:table table:name="空表"><table:table-row><table:table-cell/></table:table-row></table:table>
</office:spreadsheet></office:body></office:document>
FODS

cd "$work"
for format in ods xlsx xls; do
  soffice --headless --convert-to "$format" lo_sheets.fods >/dev/null
  cp "lo_sheets.$format" "$out/"
done
# Filter options: separator, quote, character set (76 UTF-8, 65535 UTF-16,
# 85 GB18030), first line, ..., save cells as shown, ..., sheet 1.
text() {
  mkdir -p "$work/$1"
  soffice --headless --convert-to "$2:Text - txt - csv (StarCalc):$3,34,$4,1,,0,false,true,true,false,false,1" \
    --outdir "$work/$1" lo_sheets.fods >/dev/null
  cp "$work/$1"/* "$out/$1"
}
text lo_comma.csv csv 44 76
text lo_semicolon.csv csv 59 76
text lo_unicode.txt txt 9 65535
text lo_gb18030.csv csv 44 85
