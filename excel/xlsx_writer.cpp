// .xlsx through libxlsxwriter, which writes the named file itself: it is
// given the temporary name, and the file is renamed once the library has
// closed it without error.
#include "excel/atomic_file.h"
#include "excel/export_check.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>

namespace korvanta::excel {

namespace {

struct WorkbookFreer {
    void operator()(lxw_workbook* wb) const { lxw_workbook_free(wb); }
};

// Rows up to the last non-empty text: what a reader finds in the file.
std::size_t UsedRows(const std::vector<std::string>& column1, const std::vector<std::string>& column2) {
    std::size_t used = 0;
    for (const auto* column : {&column1, &column2})
        for (std::size_t r = column->size(); r > used; --r)
            if (!(*column)[r - 1].empty()) {
                used = r;
                break;
            }
    return used;
}

}  // namespace

WriteResult WriteXlsx(const std::filesystem::path& path, const std::vector<std::string>& column1,
                      const std::vector<std::string>& column2) {
    if (auto check = detail::CheckExport(column1, column2, kMaxXlsxRows); !check.ok()) return check;

    detail::TempFile temp;
    if (auto r = temp.create(path); !r.ok()) return r;
    temp.release();

    std::unique_ptr<lxw_workbook, WorkbookFreer> workbook(workbook_new(temp.path().c_str()));
    if (!workbook) return detail::WriteFailure(WriteError::WriteFailed, "workbook_new failed");
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), "Sheet1");
    if (!sheet) return detail::WriteFailure(WriteError::WriteFailed, "workbook_add_worksheet failed");

    const std::size_t rows = std::max(column1.size(), column2.size());
    for (std::size_t r = 0; r < rows; ++r) {
        for (lxw_col_t c = 0; c < 2; ++c) {
            const auto& column = c == 0 ? column1 : column2;
            if (r >= column.size() || column[r].empty()) continue;
            double value = 0;
            const auto row = static_cast<lxw_row_t>(r);
            const lxw_error e = IsNumberText(column[r], &value)
                                    ? worksheet_write_number(sheet, row, c, value, nullptr)
                                    : worksheet_write_string(sheet, row, c, column[r].c_str(), nullptr);
            if (e != LXW_NO_ERROR) return detail::WriteFailure(WriteError::WriteFailed, lxw_strerror(e));
        }
    }
    // workbook_close frees the workbook whatever it returns.
    const lxw_error closed = workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR) return detail::WriteFailure(WriteError::WriteFailed, lxw_strerror(closed));
    // The library does not notice every failed write: with the disk full it
    // can package a worksheet cut short and report success. Reading the
    // file back catches that before it may replace anything.
    const ReadResult back = ReadFirstSheet(temp.path());
    if (!back.ok() || back.rows.size() != UsedRows(column1, column2))
        return detail::WriteFailure(WriteError::WriteFailed, "the written workbook does not read back");
    return temp.commit();
}

}  // namespace korvanta::excel
