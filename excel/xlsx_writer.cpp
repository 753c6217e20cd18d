// .xlsx through libxlsxwriter, which writes the named file itself: it is
// given the temporary name, and the file is renamed once the library has
// closed it without error and the package has been checked whole.
#include "excel/atomic_file.h"
#include "excel/export_check.h"

#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace korvanta::excel {

namespace {

struct WorkbookFreer {
    void operator()(lxw_workbook* wb) const { lxw_workbook_free(wb); }
};

struct ZipDiscarder {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

// Whether a whole XML part ends by closing its root element (or is only an
// empty root element), which a part cut short cannot.
bool EndsWhole(std::string_view head, std::string_view tail, std::size_t size) {
    for (std::size_t at = head.find('<'); at != std::string_view::npos; at = head.find('<', at + 1)) {
        if (at + 1 < head.size() && (head[at + 1] == '?' || head[at + 1] == '!')) continue;
        const std::size_t nameEnd = head.find_first_of(" \t\r\n/>", at + 1);
        const std::size_t tagEnd = head.find('>', at);
        if (nameEnd == std::string_view::npos || tagEnd == std::string_view::npos) return false;
        // An empty root: then the part is short, head holds all of it, and
        // nothing but white space follows the tag.
        if (head[tagEnd - 1] == '/')
            return size == head.size() && head.find_first_not_of(" \t\r\n", tagEnd + 1) == std::string_view::npos;
        return tail.ends_with("</" + std::string(head.substr(at + 1, nameEnd - at - 1)) + ">");
    }
    return false;
}

// An empty text when the package is whole, else what is wrong with it.
std::string CheckPackage(const std::filesystem::path& path) {
    int error = 0;
    std::unique_ptr<zip_t, ZipDiscarder> archive(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) return "the written package is incomplete";
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    if (zip_name_locate(archive.get(), "xl/worksheets/sheet1.xml", 0) < 0) return "the written package has no worksheet";
    std::vector<char> buffer(256 * 1024);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* entryName = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
        if (!entryName) return "unnamed part";
        const std::string_view name = entryName;
        std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(i), 0));
        if (!file) return "cannot open " + std::string(name);
        std::string head, tail;
        std::size_t size = 0;
        for (zip_int64_t n; (n = zip_fread(file.get(), buffer.data(), buffer.size())) != 0;) {
            if (n < 0) return "checksum or data error in " + std::string(name);  // libzip checks the CRC at the end
            size += static_cast<std::size_t>(n);
            if (head.size() < 512) head.append(buffer.data(), static_cast<std::size_t>(std::min<zip_int64_t>(n, 512)));
            tail.append(buffer.data(), static_cast<std::size_t>(n));
            if (tail.size() > 512) tail.erase(0, tail.size() - 512);
        }
        if (!name.ends_with(".xml") && !name.ends_with(".rels")) continue;
        while (!tail.empty() && std::isspace(static_cast<unsigned char>(tail.back()))) tail.pop_back();
        if (!EndsWhole(head, tail, size)) return std::string(name) + " is cut short";
    }
    return {};
}

}  // namespace

WriteResult WriteXlsx(const std::filesystem::path& path, const std::vector<std::string>& column1,
                      const std::vector<std::string>& column2) {
    if (auto check = detail::CheckExport(column1, column2, kMaxXlsxRows); !check.ok()) return check;

    detail::TempFile temp;
    if (auto r = temp.create(path); !r.ok()) return r;
    temp.release();

    // Rows go out in order, so the worksheet can stream to disk as it is
    // written instead of being held as a tree of cells (texts are then
    // stored inline rather than in a shared table; readers take both).
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    std::unique_ptr<lxw_workbook, WorkbookFreer> workbook(workbook_new_opt(temp.path().c_str(), &options));
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
    // can package a worksheet cut short and report success. So the archive
    // must be whole, every part must inflate with a matching checksum, and
    // every XML part must end by closing its root element.
    if (const std::string fault = CheckPackage(temp.path()); !fault.empty())
        return detail::WriteFailure(WriteError::WriteFailed, fault);
    return temp.commit();
}

}  // namespace korvanta::excel
