// Picks the reader by the file's first bytes; a zip is told apart by its
// mimetype entry, which an OpenDocument package stores first and
// uncompressed.
#include "excel/sheets.h"

#include "delimited/file_open.h"
#include "excel/biff_records.h"
#include "excel/bytes.h"
#include "excel/cfb_reader.h"
#include "excel/package.h"
#include "excel/readers.h"
#include "excel/sheet_choice.h"
#include "excel/statfile.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace korvanta::excel {

namespace detail {

ReadResult Failure(ReadError error)
{
    ReadResult r;
    r.error = error;
    return r;
}

SheetList ListFailure(ReadError error)
{
    SheetList list;
    list.error = error;
    return list;
}

namespace {

// A text file is one sheet, named after the file; it is read when asked.
class TextSource final : public SheetSource {
public:
    explicit TextSource(std::filesystem::path path) : path_(std::move(path))
    {
        names_.push_back(path_.stem().string());
    }
    ReadResult Read(std::size_t index, const ReadLimits& limits) const override
    {
        return index == 0 ? ReadTextSheet(path_, limits) : Failure(ReadError::NoWorksheet);
    }

private:
    std::filesystem::path path_;
};

} // namespace

Opened OpenText(const std::filesystem::path& path) { return {ReadError::None, std::make_unique<TextSource>(path)}; }

} // namespace detail

namespace {

constexpr std::size_t kSniffBytes = 8192;

FileFormat ZipFormat(const std::filesystem::path& path)
{
    detail::Package zip;
    if (zip.Open(path) != detail::Package::Status::Ok) return FileFormat::Xlsx;
    std::string mimetype;
    if (zip.Read("mimetype", 256, mimetype) == detail::Package::Status::Ok)
        return mimetype.starts_with("application/vnd.oasis.opendocument.spreadsheet") ? FileFormat::Ods
                                                                                      : FileFormat::Xlsx;
    // A package without the entry: OpenDocument by its content part.
    if (zip.Has("content.xml") && !zip.Has("[Content_Types].xml")) return FileFormat::Ods;
    return FileFormat::Xlsx;
}

std::string LowerExtension(const std::filesystem::path& path)
{
    // Spaces after the extension are part of the name, as the export keeps
    // them ("a.csv " is a .csv file).
    std::string extension = path.extension().string();
    while (!extension.empty() && extension.back() == ' ') extension.pop_back();
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension;
}

bool HasTextName(const std::filesystem::path& path)
{
    const std::string extension = LowerExtension(path);
    return extension == ".csv" || extension == ".txt";
}

bool StartsWith(const std::uint8_t* head, std::size_t n, std::string_view prefix)
{
    return n >= prefix.size() && std::memcmp(head, prefix.data(), prefix.size()) == 0;
}

// The statistics packages' signatures. A portable file has "SPSSPORT"
// after its 200-byte title and 256-byte character table, counted without
// its line ends; an old Stata file only a version, byte order and type.
FileFormat StatisticsFormat(const std::filesystem::path& path, const std::uint8_t* head, std::size_t n)
{
    static constexpr std::uint8_t kSas[32] = {0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
                                              0,    0xC2, 0xEA, 0x81, 0x60, 0xB3, 0x14, 0x11, 0xCF, 0xBD, 0x92,
                                              0x08, 0x00, 0x09, 0xC7, 0x31, 0x8C, 0x18, 0x1F, 0x10, 0x11};
    if (StartsWith(head, n, "$FL2") || StartsWith(head, n, "$FL3")) return FileFormat::Sav;
    if (StartsWith(head, n, "<stata_dta>")) return FileFormat::Dta;
    if (n >= 32 && std::memcmp(head, kSas, 32) == 0) return FileFormat::Sas;
    if (StartsWith(head, n, "HEADER RECORD*******LIBRARY HEADER RECORD!!!!!!!") ||
        StartsWith(head, n, "HEADER RECORD*******LIBV8   HEADER RECORD!!!!!!!"))
        return FileFormat::Xpt;
    std::string logical;
    for (std::size_t i = 0; i < n && logical.size() < 464; ++i)
        if (head[i] != '\r' && head[i] != '\n') logical += static_cast<char>(head[i]);
    if (logical.size() == 464 && logical.ends_with("SPSSPORT")) return FileFormat::Por;
    if (n >= 4 && head[0] >= 104 && head[0] <= 115 && (head[1] == 1 || head[1] == 2) && head[2] == 1 &&
        LowerExtension(path) == ".dta")
        return FileFormat::Dta;
    return FileFormat::Unknown;
}

// A text name's file is read as text unless it starts with markup; the
// text reader tells what else keeps it from being read (a NUL, UTF-16
// without its mark, nothing in it).
FileFormat TextOrUnknown(const std::uint8_t* head, std::size_t n)
{
    if (n >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return FileFormat::Text;
    std::size_t i = n >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF ? 3 : 0;
    while (i < n && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    // A web page or XML saved under a spreadsheet's name is not data.
    if (i < n && head[i] == '<') return FileFormat::Unknown;
    return FileFormat::Text;
}

// Why a file that is no format of ours cannot be read: missing or
// unreadable, or of another kind.
ReadError UnknownError(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return ReadError::CannotOpen;
    delimited::StdioFile f = delimited::OpenFileForReading(path);
    return f ? ReadError::NotWorkbook : ReadError::CannotOpen;
}

} // namespace

FileFormat DetectFormat(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return FileFormat::Unknown;
    delimited::StdioFile f = delimited::OpenFileForReading(path);
    if (!f) return FileFormat::Unknown;
    std::uint8_t head[kSniffBytes] = {};
    const std::size_t n = std::fread(head, 1, sizeof head, f.get());
    f.reset();
    if (n >= 8 && std::memcmp(head, detail::kCfbSignature, 8) == 0) return FileFormat::Xls;
    if (n >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6)))
        return ZipFormat(path);
    if (n >= 8 && detail::biff::IsBofHeader(head)) return FileFormat::Xls;
    if (const FileFormat statistics = StatisticsFormat(path, head, n); statistics != FileFormat::Unknown)
        return statistics;
    return HasTextName(path) ? TextOrUnknown(head, n) : FileFormat::Unknown;
}

DataFile::DataFile(const std::filesystem::path& path) : format_(DetectFormat(path))
{
    detail::Opened opened;
    switch (format_) {
    case FileFormat::Xls:
        opened = detail::OpenXls(path);
        break;
    case FileFormat::Xlsx:
        opened = detail::OpenXlsx(path);
        break;
    case FileFormat::Ods:
        opened = detail::OpenOds(path);
        break;
    case FileFormat::Text:
        opened = detail::OpenText(path);
        break;
    case FileFormat::Sav:
    case FileFormat::Por:
    case FileFormat::Dta:
    case FileFormat::Sas:
    case FileFormat::Xpt:
        opened = detail::OpenStatistics(path, format_);
        break;
    case FileFormat::Unknown:
        opened.error = UnknownError(path);
        break;
    }
    error_ = opened.error;
    if (error_ == ReadError::None) source_ = std::move(opened.source);
}

DataFile::~DataFile() = default;

bool IsStatisticsFormat(FileFormat format)
{
    switch (format) {
    case FileFormat::Sav:
    case FileFormat::Por:
    case FileFormat::Dta:
    case FileFormat::Sas:
    case FileFormat::Xpt:
        return true;
    case FileFormat::Unknown:
    case FileFormat::Xls:
    case FileFormat::Xlsx:
    case FileFormat::Ods:
    case FileFormat::Text:
        return false;
    }
    return false;
}

const std::vector<std::string>& DataFile::SheetNames() const
{
    static const std::vector<std::string> kNone;
    return source_ ? source_->Names() : kNone;
}

ReadResult DataFile::ReadSheet(std::size_t index, const ReadLimits& limits) const
{
    if (!source_) return detail::Failure(error_ == ReadError::None ? ReadError::NotWorkbook : error_);
    if (index >= source_->Names().size()) return detail::Failure(ReadError::NoWorksheet);
    return source_->Read(index, limits);
}

SheetList ListSheets(const std::filesystem::path& path)
{
    const DataFile file(path);
    if (!file.Ok()) return detail::ListFailure(file.Error());
    SheetList list;
    list.names = file.SheetNames();
    return list;
}

ReadResult ReadSheet(const std::filesystem::path& path, std::size_t index, const ReadLimits& limits)
{
    return DataFile(path).ReadSheet(index, limits);
}

TakenColumns TakeColumns(const ReadResult& sheet, const ColumnChoice& choice, const NumberFormatter& formatNumber)
{
    TakenColumns columns;
    const std::size_t skip = choice.heading && !sheet.rows.empty() ? 1 : 0;
    columns.rows = sheet.rows.size() - skip;
    if (columns.rows > choice.maxRows) {
        columns.tooManyRows = true;
        return columns;
    }
    columns.first.reserve(columns.rows);
    columns.second.reserve(columns.rows);
    if (skip > 0) {
        columns.firstHeading = ImportText(sheet.rows[0][choice.first], formatNumber);
        columns.secondHeading = ImportText(sheet.rows[0][choice.second], formatNumber);
    }
    for (std::size_t r = skip; r < sheet.rows.size(); ++r) {
        columns.first.push_back(ImportText(sheet.rows[r][choice.first], formatNumber));
        columns.second.push_back(ImportText(sheet.rows[r][choice.second], formatNumber));
    }
    for (const CellPosition& at : sheet.uncalculated)
        if (at.row >= skip && (at.column == choice.first || at.column == choice.second)) ++columns.uncalculated;
    return columns;
}

} // namespace korvanta::excel
