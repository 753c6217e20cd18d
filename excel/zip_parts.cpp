#include "excel/zip_parts.h"

#include "excel/workbook.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <vector>

namespace korvanta::excel::detail {
namespace {

// One expat parser feeding a sink. A document type declaration is refused
// outright: no package part has one, and entity tricks start there.
class Parser {
public:
    enum class Result { Ok, Stopped, Malformed };

    explicit Parser(XmlSink& sink) : sink_(sink), parser_(XML_ParserCreateNS(nullptr, '|'))
    {
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &Parser::onStart, &Parser::onEnd);
        XML_SetCharacterDataHandler(parser_, &Parser::onText);
        XML_SetStartDoctypeDeclHandler(parser_, &Parser::onDoctype);
    }
    ~Parser() { XML_ParserFree(parser_); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    Result feed(const char* data, std::size_t size, bool last)
    {
        if (!parser_)
            return Result::Malformed;
        const auto status = XML_Parse(parser_, data, static_cast<int>(size), last ? XML_TRUE : XML_FALSE);
        if (doctype_)
            return Result::Malformed;
        if (sink_.stop)
            return Result::Stopped;
        return status == XML_STATUS_OK ? Result::Ok : Result::Malformed;
    }

private:
    static void onStart(void* self, const XML_Char* name, const XML_Char** attributes)
    {
        auto* p = static_cast<Parser*>(self);
        const auto [uri, local] = XmlSink::split(name);
        p->markTag();
        p->sink_.start(uri, local, attributes);
        p->stopIfAsked();
    }
    static void onEnd(void* self, const XML_Char* name)
    {
        auto* p = static_cast<Parser*>(self);
        const auto [uri, local] = XmlSink::split(name);
        p->markTag();
        p->sink_.end(uri, local);
        p->stopIfAsked();
    }
    static void onText(void* self, const XML_Char* text, int length)
    {
        auto* p = static_cast<Parser*>(self);
        p->sink_.text(std::string_view(text, static_cast<std::size_t>(length)));
        p->stopIfAsked();
    }
    static void onDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int)
    {
        auto* p = static_cast<Parser*>(self);
        p->doctype_ = true;
        XML_StopParser(p->parser_, XML_FALSE);
    }
    void markTag()
    {
        sink_.tagOffset = XML_GetCurrentByteIndex(parser_);
        sink_.tagLength = XML_GetCurrentByteCount(parser_);
    }
    void stopIfAsked()
    {
        if (sink_.stop)
            XML_StopParser(parser_, XML_FALSE);
    }

    XmlSink& sink_;
    XML_Parser parser_;
    bool doctype_ = false;
};

struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
using PartFile = std::unique_ptr<zip_file_t, FileCloser>;

// Finds a part by name (in any case), reads its directory entry and opens it.
ZipParts::Status OpenPart(zip* archive, std::string_view part, zip_stat_t& stat, PartFile& file)
{
    const zip_int64_t index = zip_name_locate(archive, std::string(part).c_str(), ZIP_FL_NOCASE);
    if (index < 0)
        return ZipParts::Status::Missing;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat) != 0)
        return ZipParts::Status::Corrupt;
    file.reset(zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0));
    return file ? ZipParts::Status::Ok : ZipParts::Status::Corrupt;
}

} // namespace

std::pair<std::string_view, std::string_view> XmlSink::split(const char* name)
{
    const std::string_view full(name);
    const auto bar = full.rfind('|');
    if (bar == std::string_view::npos)
        return {{}, full};
    return {full.substr(0, bar), full.substr(bar + 1)};
}

const char* XmlSink::attribute(const char** attributes, std::string_view uri, std::string_view local)
{
    for (const char** a = attributes; a && *a; a += 2) {
        const auto [u, l] = split(*a);
        if (u == uri && l == local)
            return a[1];
    }
    return nullptr;
}

void ZipParts::Closer::operator()(zip* z) const { zip_discard(z); }

ZipParts::ZipParts() = default;
ZipParts::~ZipParts() = default;

ZipParts::Status ZipParts::open(const std::filesystem::path& path)
{
    int error = 0;
    zip_.reset(zip_open(path.c_str(), ZIP_RDONLY, &error));
    if (zip_)
        return Status::Ok;
    return error == ZIP_ER_OPEN || error == ZIP_ER_READ || error == ZIP_ER_NOENT ? Status::CannotOpen : Status::Corrupt;
}

bool ZipParts::has(std::string_view part) const
{
    return zip_ && zip_name_locate(zip_.get(), std::string(part).c_str(), ZIP_FL_NOCASE) >= 0;
}

ZipParts::Status ZipParts::read(std::string_view part, std::size_t limit, std::string& out) const
{
    out.clear();
    if (!zip_)
        return Status::CannotOpen;
    zip_stat_t stat;
    PartFile file;
    if (const Status status = OpenPart(zip_.get(), part, stat, file); status != Status::Ok)
        return status;
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limit)
        return Status::TooLarge;
    char chunk[1 << 16];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), chunk, sizeof chunk);
        if (n < 0)
            return Status::Corrupt;
        if (n == 0)
            return Status::Ok;
        if (out.size() + static_cast<std::size_t>(n) > limit)
            return Status::TooLarge;
        out.append(chunk, static_cast<std::size_t>(n));
    }
}

ZipParts::Status ZipParts::parse(std::string_view part, XmlSink& sink) const
{
    if (!zip_)
        return Status::CannotOpen;
    zip_stat_t stat;
    PartFile file;
    if (const Status status = OpenPart(zip_.get(), part, stat, file); status != Status::Ok)
        return status;
    const std::size_t compressed = (stat.valid & ZIP_STAT_COMP_SIZE) ? static_cast<std::size_t>(stat.comp_size) : 0;

    Parser parser(sink);
    std::vector<char> chunk(std::size_t{1} << 16);
    std::size_t total = 0;
    constexpr std::size_t kRatioFloor = std::size_t{8} << 20;
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), chunk.data(), chunk.size());
        if (n < 0)
            return Status::Corrupt;
        total += static_cast<std::size_t>(n);
        // The size in the directory can lie; what comes out is counted.
        if (total > kMaxXlsxPartBytes || (total > kRatioFloor && total / std::max<std::size_t>(compressed, 1) > kMaxXlsxRatio))
            return Status::TooLarge;
        switch (parser.feed(chunk.data(), static_cast<std::size_t>(n), n == 0)) {
        case Parser::Result::Malformed: return Status::Corrupt;
        case Parser::Result::Stopped: return Status::Ok;
        case Parser::Result::Ok: break;
        }
        if (n == 0)
            return Status::Ok;
    }
}

bool ParseXml(std::string_view document, XmlSink& sink)
{
    Parser parser(sink);
    return parser.feed(document.data(), document.size(), true) != Parser::Result::Malformed;
}

}  // namespace korvanta::excel::detail
