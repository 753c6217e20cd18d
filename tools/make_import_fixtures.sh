#!/usr/bin/env bash
# Regenerates the clinic-sheet fixtures of the import tests in tests/data:
# a paired sheet as clinicians keep it (编号 | 治疗前 | 治疗后 | 日期 | 时间,
# twelve patients, a heading row and a last row of AVERAGE formulas)
#   openpyxl_clinic.xlsx   written by openpyxl: dates and times as numbers
#                          with date formats, the formulas without results
#   lo_clinic.xlsx/.xls/.ods  the same opened and saved by LibreOffice, which
#                          calculates the formulas and stores their results
# Needs /usr/bin/python3 with openpyxl and soffice (Debian's
# libreoffice-calc-nogui); neither is needed to build or test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/tests/data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
mkdir -p "$HOME"

/usr/bin/python3 - "$out/openpyxl_clinic.xlsx" <<'PY'
import datetime
import sys

import openpyxl

book = openpyxl.Workbook()
sheet = book.active
sheet.title = "数据"
sheet.append(["编号", "治疗前", "治疗后", "日期", "时间"])
before = [141, 130, 152, 138, 147, 160, 133, 129, 150, 144, 158, 136]
after = [132, 128, 140, 131, 139, 149, 130, 127, 141, 137, 150, 133]
for i in range(12):
    sheet.append([i + 1, before[i], after[i], datetime.date(2023, 3, 15) + datetime.timedelta(days=i),
                  datetime.time(8, 30 + i)])
    sheet.cell(row=i + 2, column=4).number_format = "yyyy-mm-dd"
    sheet.cell(row=i + 2, column=5).number_format = "hh:mm"
sheet.append(["平均", "=AVERAGE(B2:B13)", "=AVERAGE(C2:C13)"])
book.save(sys.argv[1])
PY
cp "$out/openpyxl_clinic.xlsx" "$work/lo_clinic.xlsx"
for format in ods xls; do
  soffice --headless --calc --convert-to "$format" --outdir "$work/out" "$work/lo_clinic.xlsx" >/dev/null 2>&1
done
# Calc saves its own .xlsx from its .ods, formulas with results.
soffice --headless --calc --convert-to xlsx --outdir "$work/out2" "$work/out/lo_clinic.ods" >/dev/null 2>&1
cp "$work/out/lo_clinic.ods" "$work/out/lo_clinic.xls" "$work/out2/lo_clinic.xlsx" "$out/"
echo "written: openpyxl_clinic.xlsx lo_clinic.xlsx lo_clinic.xls lo_clinic.ods in $out"
