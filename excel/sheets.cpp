// Picks the reader by the file's first bytes; a zip is told apart by its
// mimetype entry, which an OpenDocument package stores first and
// uncompressed.
#include "excel/sheets.h"

#include "excel/biff_records.h"
#include "excel/bytes.h"
#include "excel/cfb_reader.h"
#include "excel/package.h"
#include "excel/readers.h"
#include "excel/sheet_choice.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace korvanta::excel {

namespace detail {

ReadResult Failure(ReadError error)
{
    ReadResult r;
    r.error = error;
    r.message = std::string(ReadErrorMessage(error));
    return r;
}

SheetList ListFailure(ReadError error)
{
    SheetList list;
    list.error = error;
    list.message = std::string(ReadErrorMessage(error));
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
    ReadResult Read(std::size_t index, const ReadLimits&) const override
    {
        return index == 0 ? ReadTextSheet(path_) : Failure(ReadError::NoWorksheet);
    }

private:
    std::filesystem::path path_;
};

} // namespace

Opened OpenText(const std::filesystem::path& path) { return {ReadError::None, std::make_unique<TextSource>(path)}; }

} // namespace detail

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

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

bool HasTextName(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".csv" || extension == ".txt";
}

FileFormat TextOrUnknown(const std::uint8_t* head, std::size_t n)
{
    if (n >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return FileFormat::Text;
    if (std::memchr(head, 0, n) != nullptr) return FileFormat::Unknown;
    std::size_t i = n >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF ? 3 : 0;
    while (i < n && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    // A web page or XML saved under a spreadsheet's name is not data.
    if (i == n || head[i] == '<') return FileFormat::Unknown;
    return FileFormat::Text;
}

// Why a file that is no format of ours cannot be read: missing or
// unreadable, or of another kind.
ReadError UnknownError(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return ReadError::CannotOpen;
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    return f ? ReadError::NotWorkbook : ReadError::CannotOpen;
}

} // namespace

FileFormat DetectFormat(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return FileFormat::Unknown;
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) return FileFormat::Unknown;
    std::uint8_t head[kSniffBytes] = {};
    const std::size_t n = std::fread(head, 1, sizeof head, f.get());
    f.reset();
    if (n >= 8 && std::memcmp(head, detail::kCfbSignature, 8) == 0) return FileFormat::Xls;
    if (n >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6)))
        return ZipFormat(path);
    if (n >= 8 && detail::biff::IsBofHeader(head)) return FileFormat::Xls;
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
    case FileFormat::Unknown:
        opened.error = UnknownError(path);
        break;
    }
    error_ = opened.error;
    if (error_ == ReadError::None) source_ = std::move(opened.source);
}

DataFile::~DataFile() = default;

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

} // namespace korvanta::excel
