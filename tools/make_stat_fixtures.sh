#!/usr/bin/env bash
# Regenerates the statistics-package fixtures of the import tests in
# tests/data: one small clinic table (编号 | 收缩压 | 性别 | 就诊日期 | 备注)
# written by the packages' independent writers:
#   pspp_clinic.sav/.zsav  GNU PSPP, UTF-8: the label "收缩压 (mmHg)", value
#                          labels 1 男 / 2 女, 999 a user-missing value, one
#                          system-missing value, a DATE11 variable, a string
#   pspp_gbk.sav           the same dictionary written in GBK (code page 936),
#                          as older Chinese SPSS files are
#   pspp_clinic.por        a portable file (ASCII texts, as the format holds)
#   foreign_clinic.dta     R's foreign::write.dta (an old Stata format)
#   readstata13_clinic.dta R's readstata13::save.dta13, version 118 (UTF-8)
#   haven_clinic.xpt       R's haven::write_xpt (SAS transport, version 5)
#   haven_clinic.sas7bdat  R's haven::write_sas
# Needs pspp and R with foreign, readstata13 and haven (Debian's pspp,
# r-cran-foreign, r-cran-readstata13, r-cran-haven); none is needed to build
# or test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/tests/data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

cat > clinic.sps <<'SPS'
DATA LIST LIST /id (F4.0) sbp (F6.1) sex (F1.0) visit (DATE11) note (A20).
BEGIN DATA
1 120.5 1 15-MAR-2023 复查
2 999 2 16-MAR-2023 "约 150; 复查"
3 . 1 17-MAR-2023 ""
4 142 2 . abc
END DATA.
VARIABLE LABELS sbp '收缩压 (mmHg)' note '备注'.
VALUE LABELS sex 1 '男' 2 '女'.
MISSING VALUES sbp (999).
SPS
{
  echo "SET LOCALE='UTF-8'."
  echo "INCLUDE FILE='clinic.sps' ENCODING='UTF-8'."
  echo "SAVE OUTFILE='pspp_clinic.sav'."
  echo "SAVE OUTFILE='pspp_clinic.zsav' /ZCOMPRESSED."
} > utf8.sps
pspp utf8.sps > /dev/null
{
  echo "SET LOCALE='GBK'."
  echo "INCLUDE FILE='clinic.sps' ENCODING='UTF-8'."
  echo "SAVE OUTFILE='pspp_gbk.sav'."
} > gbk.sps
pspp gbk.sps > /dev/null
cat > por.sps <<'SPS'
DATA LIST LIST /id (F4.0) sbp (F6.1) sex (F1.0) visit (DATE11) note (A20).
BEGIN DATA
1 120.5 1 15-MAR-2023 recheck
2 999 2 16-MAR-2023 "about 150; recheck"
3 . 1 17-MAR-2023 ""
4 142 2 . abc
END DATA.
VARIABLE LABELS sbp 'systolic (mmHg)' note 'note'.
VALUE LABELS sex 1 'male' 2 'female'.
MISSING VALUES sbp (999).
EXPORT OUTFILE='pspp_clinic.por'.
SPS
pspp por.sps > /dev/null

cat > clinic.R <<'R'
library(foreign); library(readstata13); library(haven)
d <- data.frame(id = c(1, 2, 3, 4), sbp = c(120.5, 135, NA, 142), sex = c(1L, 2L, 1L, 2L),
                visit = as.Date(c("2023-03-15", "2023-03-16", "2023-03-17", NA)),
                note = c("ok", "recheck", " ", "abc"), stringsAsFactors = FALSE)
f <- d; f$sex <- factor(f$sex, levels = 1:2, labels = c("male", "female"))
attr(f, "var.labels") <- c("", "systolic (mmHg)", "", "", "")
write.dta(f, "foreign_clinic.dta")
g <- d; g$sex <- factor(g$sex, levels = 1:2, labels = c("男", "女"))
g$note <- c("复查", "约 150; 复查", " ", "abc")
attr(g, "var.labels") <- c("", "收缩压 (mmHg)", "", "", "备注")
save.dta13(g, "readstata13_clinic.dta", version = 118)
h <- d; attr(h$sbp, "label") <- "systolic (mmHg)"
write_xpt(h, "haven_clinic.xpt", version = 5, name = "CLINIC")
suppressWarnings(write_sas(h, "haven_clinic.sas7bdat"))
R
Rscript clinic.R
cp pspp_clinic.sav pspp_clinic.zsav pspp_gbk.sav pspp_clinic.por foreign_clinic.dta readstata13_clinic.dta \
  haven_clinic.xpt haven_clinic.sas7bdat "$out/"
