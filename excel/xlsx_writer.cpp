// .xlsx: libxlsxwriter writes the package (content types, relationships,
// workbook, styles, theme, properties) with an empty Sheet1 to a scratch
// file, which is checked whole; the final package copies those parts and
// gets the worksheet's rows from here, deflated by libzip at its fastest
// level: libxlsxwriter's own cell writing (printf per cell, deflate at the
// default level) took most of an export's time.
// The package is assembled in memory; export.cpp puts it on the disk.
#include "excel/atomic_file.h"
#include "excel/export.h"
#include "excel/export_check.h"
#include "excel/library_paths.h"
#include "excel/plain_number.h"

#include <xlsxwriter.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace korvanta::excel {

namespace {

constexpr const char* kSheetPart = "xl/worksheets/sheet1.xml";

struct WorkbookFreer {
    void operator()(lxw_workbook* wb) const { lxw_workbook_free(wb); }
};
struct ZipDiscarder {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
struct ZipError {
    zip_error_t error;
    ZipError() { zip_error_init(&error); }
    ~ZipError() { zip_error_fini(&error); }
    ZipError(const ZipError&) = delete;
    ZipError& operator=(const ZipError&) = delete;
};
struct SourceFreer {
    void operator()(zip_source_t* s) const { zip_source_free(s); }
};

// Whether a whole XML part ends by closing its root element (or is only an
// empty root element), which a part cut short cannot.
bool EndsWhole(std::string_view part)
{
    std::string_view head = part.substr(0, 512);
    std::string_view tail = part;
    while (!tail.empty() && std::isspace(static_cast<unsigned char>(tail.back()))) tail.remove_suffix(1);
    for (std::size_t at = head.find('<'); at != std::string_view::npos; at = head.find('<', at + 1)) {
        if (at + 1 < head.size() && (head[at + 1] == '?' || head[at + 1] == '!')) continue;
        const std::size_t nameEnd = head.find_first_of(" \t\r\n/>", at + 1);
        const std::size_t tagEnd = part.find('>', at);
        if (nameEnd == std::string_view::npos || tagEnd == std::string_view::npos) return false;
        // An empty root: nothing but white space follows the tag.
        if (part[tagEnd - 1] == '/') return tail.size() == tagEnd + 1;
        return tail.ends_with("</" + std::string(head.substr(at + 1, nameEnd - at - 1)) + ">");
    }
    return false;
}

struct Part {
    std::string name;
    std::string data;
};

// Reads libxlsxwriter's package back: the archive must be whole, every part
// must inflate with a matching checksum (libzip checks it at the end of
// each part), and every XML part must end by closing its root element. The
// library does not notice every failed write: with the disk full it can
// package a part cut short and report success. The parts are small, the
// worksheet being empty.
std::string ReadPackage(const std::filesystem::path& path, std::vector<Part>& parts)
{
    int error = 0;
    std::unique_ptr<zip_t, ZipDiscarder> archive(detail::OpenZipArchive(path, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) return "the written package is incomplete";
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    std::vector<char> buffer(64 * 1024);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* entryName = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
        if (!entryName) return "unnamed part";
        Part part{entryName, {}};
        std::unique_ptr<zip_file_t, ZipFileCloser> file(
            zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(i), 0));
        if (!file) return "cannot open " + part.name;
        for (zip_int64_t n; (n = zip_fread(file.get(), buffer.data(), buffer.size())) != 0;) {
            if (n < 0) return "checksum or data error in " + part.name;
            part.data.append(buffer.data(), static_cast<std::size_t>(n));
        }
        const bool xml = part.name.ends_with(".xml") || part.name.ends_with(".rels");
        if (xml && !EndsWhole(part.data)) return part.name + " is cut short";
        parts.push_back(std::move(part));
    }
    if (std::none_of(parts.begin(), parts.end(), [](const Part& p) { return p.name == kSheetPart; }))
        return "the written package has no worksheet";
    return {};
}

// A text as the content of <t>: XML's own escapes, and OOXML's _xHHHH_
// for the characters XML cannot carry (controls, a carriage return that
// XML would read as a line feed, U+FFFE and U+FFFF) and for a literal "_x"
// that would read as the start of one (a "_x" and four hex digits,
// whatever follows).
void AppendEscaped(std::string& out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto isHex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (u < 0x20 && c != '\t' && c != '\n') {
            out += "_x00";
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 15]);
            out.push_back('_');
        } else if (u == 0xEF && text.substr(i + 1, 1) == "\xBF" && i + 2 < text.size() &&
                   (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
            out += text[i + 2] == '\xBE' ? "_xFFFE_" : "_xFFFF_";
            i += 2;
        } else {
            // Whatever follows the four digits: an escape written next
            // (for a control character) would supply the closing '_'.
            if (c == '_' && i + 5 < text.size() && text[i + 1] == 'x' && isHex(text[i + 2]) && isHex(text[i + 3]) &&
                isHex(text[i + 4]) && isHex(text[i + 5]))
                out += "_x005F";
            out.push_back(c);
        }
    }
}

void AppendNumber(std::string& out, std::size_t n)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

// The text of a number cell's <v>: a plain decimal (IsPlainNumberText)
// stands as it is; any other number text a number cell keeps
// (IsKeptAsNumber) is parsed and written as the shortest text that reads
// back as the same double.
bool AppendNumberValue(std::string& out, std::string_view text)
{
    if (detail::IsPlainNumberText(text)) {
        out += text;
        return true;
    }
    double value = 0;
    if (!IsKeptAsNumber(text, &value)) return false;
    char buffer[32];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
    return true;
}

// The rows of the columns as <sheetData> content. A cell right after its
// neighbour needs no reference; one after a gap names itself.
void AppendRows(std::string& out, const Columns& columns)
{
    std::size_t rows = 0;
    for (const auto& column : columns) rows = std::max(rows, column.size());
    for (std::size_t r = 0; r < rows; ++r) {
        const auto text = [&](std::size_t c) {
            return r < columns[c].size() ? std::string_view(columns[c][r]) : std::string_view();
        };
        bool any = false;
        for (std::size_t c = 0; c < columns.size(); ++c) any = any || !text(c).empty();
        if (!any) continue;
        out += "<row r=\"";
        AppendNumber(out, r + 1);
        out += "\">";
        bool follows = true; // the previous column's cell was written (or this is column A)
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string_view t = text(c);
            if (t.empty()) {
                follows = false;
                continue;
            }
            if (!follows) {
                out += "<c r=\"";
                out.push_back(static_cast<char>('A' + c));
                AppendNumber(out, r + 1);
                out += '"';
            } else {
                out += "<c";
            }
            follows = true;
            out += "><v>";
            if (AppendNumberValue(out, t)) {
                out += "</v></c>";
                continue;
            }
            out.resize(out.size() - 4); // not a number after all: an inline string
            const bool keepSpace = std::isspace(static_cast<unsigned char>(t.front())) ||
                                   std::isspace(static_cast<unsigned char>(t.back()));
            out += keepSpace ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">" : " t=\"inlineStr\"><is><t>";
            AppendEscaped(out, t);
            out += "</t></is></c>";
        }
        out += "</row>";
    }
}

// libxlsxwriter's package with an empty Sheet1, read back and checked.
// It holds no data, so it is made in the system's folder for temporary
// files rather than beside the target.
WriteResult WriteSkeleton(std::vector<Part>& parts)
{
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) return detail::WriteFailure(WriteError::CannotCreate, "no folder for temporary files: " + ec.message());
    detail::TempFile temp;
    if (auto r = temp.CreateScratch(folder); !r.Ok()) return r;
    temp.Release();
    const std::string name = detail::NarrowFileName(temp.Path());
    if (name.empty()) return detail::WriteFailure(WriteError::CannotCreate, "no narrow name for the temporary file");
    std::unique_ptr<lxw_workbook, WorkbookFreer> workbook(workbook_new(name.c_str()));
    if (!workbook) return detail::WriteFailure(WriteError::WriteFailed, "workbook_new failed");
    if (!workbook_add_worksheet(workbook.get(), "Sheet1"))
        return detail::WriteFailure(WriteError::WriteFailed, "workbook_add_worksheet failed");
    // workbook_close frees the workbook whatever it returns.
    const lxw_error closed = workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR) return detail::WriteFailure(WriteError::WriteFailed, lxw_strerror(closed));
    if (const std::string fault = ReadPackage(temp.Path(), parts); !fault.empty())
        return detail::WriteFailure(WriteError::WriteFailed, fault);
    return {};
}

WriteResult ZipFailure(const char* what, zip_error_t* error)
{
    return detail::WriteFailure(WriteError::WriteFailed, std::string(what) + ": " + zip_error_strerror(error));
}

} // namespace

WriteResult detail::EncodeXlsx(const Columns& columns, Bytes& bytes)
{
    std::vector<Part> parts;
    if (auto r = WriteSkeleton(parts); !r.Ok()) return r;

    // The empty worksheet's <sheetData/> takes the rows, and its dimension
    // the range they cover.
    const auto sheet = std::find_if(parts.begin(), parts.end(), [](const Part& p) { return p.name == kSheetPart; });
    std::string& xml = sheet->data;
    const std::size_t data = xml.find("<sheetData/>");
    const std::size_t dimension = xml.find("<dimension ref=\"A1\"/>");
    if (data == std::string::npos || dimension == std::string::npos || dimension > data)
        return detail::WriteFailure(WriteError::WriteFailed, "unexpected worksheet from libxlsxwriter");
    // Rows and columns in use, 1-based; none when every column is empty.
    std::size_t firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        for (std::size_t r = 0; r < columns[c].size(); ++r) {
            if (columns[c][r].empty()) continue;
            firstColumn = firstColumn == 0 ? c + 1 : std::min(firstColumn, c + 1);
            lastColumn = std::max(lastColumn, c + 1);
            firstRow = firstRow == 0 ? r + 1 : std::min(firstRow, r + 1);
            lastRow = std::max(lastRow, r + 1);
        }
    }
    std::string head = xml.substr(0, data) + "<sheetData>";
    if (lastRow > 0) {
        const std::string range = static_cast<char>('A' + firstColumn - 1) + std::to_string(firstRow) + ":" +
                                  static_cast<char>('A' + lastColumn - 1) + std::to_string(lastRow);
        head.replace(dimension, std::strlen("<dimension ref=\"A1\"/>"), "<dimension ref=\"" + range + "\"/>");
    }
    std::string tail = "</sheetData>" + xml.substr(data + std::strlen("<sheetData/>"));
    // About 60 bytes a row; reserved so the text is not copied as it grows.
    head.reserve(head.size() + 64 * (lastRow - firstRow + 1) + tail.size());
    AppendRows(head, columns);
    head += tail;
    xml = std::move(head);

    // The worksheet is nearly all of the package: deflate's fastest level
    // keeps an export quick and still compresses it about fivefold.
    std::vector<detail::PackagePart> package;
    package.reserve(parts.size());
    for (Part& part : parts)
        package.push_back({part.name, std::move(part.data),
                           part.name == kSheetPart ? detail::PackagePart::Fast : detail::PackagePart::Default});
    return detail::ZipParts(package, bytes);
}

WriteResult detail::ZipParts(const std::vector<PackagePart>& parts, Bytes& bytes)
{
    ZipError error;
    std::unique_ptr<zip_source_t, SourceFreer> buffer(zip_source_buffer_create(nullptr, 0, 0, &error.error));
    if (!buffer) return ZipFailure("zip_source_buffer_create", &error.error);
    std::unique_ptr<zip_t, ZipDiscarder> archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error.error));
    if (!archive) return ZipFailure("zip_open_from_source", &error.error);
    zip_source_keep(buffer.get()); // the archive holds a reference too, and zip_close ends it
    for (const PackagePart& part : parts) {
        zip_source_t* source = zip_source_buffer(archive.get(), part.data.data(), part.data.size(), 0);
        if (!source) return ZipFailure("zip_source", zip_get_error(archive.get()));
        const zip_int64_t index = zip_file_add(archive.get(), part.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return ZipFailure("zip_file_add", zip_get_error(archive.get()));
        }
        const auto at = static_cast<zip_uint64_t>(index);
        zip_file_set_mtime(archive.get(), at, 315532800, 0); // 1980-01-01
        if (part.compression == PackagePart::Store)
            zip_set_file_compression(archive.get(), at, ZIP_CM_STORE, 0);
        else if (part.compression == PackagePart::Fast)
            zip_set_file_compression(archive.get(), at, ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(archive.get()) != 0) return ZipFailure("zip_close", zip_get_error(archive.get()));
    archive.release(); // zip_close freed it

    bytes.clear();
    if (zip_source_open(buffer.get()) != 0) return ZipFailure("zip_source_open", zip_source_error(buffer.get()));
    for (;;) {
        std::uint8_t chunk[64 * 1024];
        const zip_int64_t n = zip_source_read(buffer.get(), chunk, sizeof chunk);
        if (n < 0) {
            zip_source_close(buffer.get());
            return ZipFailure("zip_source_read", zip_source_error(buffer.get()));
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    zip_source_close(buffer.get());
    return {};
}

} // namespace korvanta::excel
