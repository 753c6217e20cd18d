# `cpack -G DEB` in a build folder: korvanta_VERSION_ARCH.deb with the program,
# the help page, the desktop entry, the icon and the AppStream metainfo.
# tools/package.sh makes it from a Release build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanta)
set(CPACK_PACKAGE_VENDOR Korvanta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL https://korvanta.org/)
set(CPACK_PACKAGE_CONTACT "Korvanta developers <https://korvanta.org/>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "medical statistics calculator for clinicians")
set(CPACK_PACKAGE_DESCRIPTION "Korvanta computes two-sample and paired t-tests, correlation and linear
regression, and the four-fold and paired chi-square tests, with a Chinese
user interface. Data are typed into cells or imported from .xls, .xlsx,
.ods and .csv files; the statistic, the critical values and the verdict
change on every keystroke. A calculator, the t critical-value table and
an offline help page are included.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Libraries: dpkg-shlibdeps reads them off the program. What it cannot see is
# the Song (serif) CJK face the windows are drawn in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-arphic-uming")
set(CPACK_STRIP_FILES ON)
include(CPack)
