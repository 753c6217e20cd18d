#include "excel/package.h"

#include "excel/library_paths.h"
#include "excel/workbook.h"
#include "excel/xml_scan.h"

#include <expat.h>
#include <zip.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace korvanta::excel::detail {

namespace {

// Names keep their prefixes ("x:c", "r:id"): prefixes vary by writer, so
// elements are matched by local name. Parsing without namespace processing
// is markedly faster on a large sheet, and the parts use no two
// vocabularies with clashing local names where it matters.
constexpr char kPrefixSeparator = ':';
constexpr std::size_t kChunkBytes = 64 * 1024;
// Below this much output the ratio is not checked: small parts of highly
// repetitive XML legitimately compress very well.
constexpr std::size_t kRatioFloorBytes = std::size_t{8} << 20;

std::string_view LocalName(const char* name, XmlHandler& handler)
{
    std::string_view n(name);
    const auto bar = n.rfind(kPrefixSeparator);
    handler.prefix = bar == std::string_view::npos ? std::string_view() : n.substr(0, bar);
    return bar == std::string_view::npos ? n : n.substr(bar + 1);
}

struct ParserFreer {
    void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

struct Context {
    XmlHandler* handler;
    XML_Parser parser;
};

void StopIfDone(Context* c)
{
    if (c->handler->outcome != XmlHandler::Outcome::Continue) XML_StopParser(c->parser, XML_FALSE);
}

void OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* c = static_cast<Context*>(data);
    c->handler->Start(LocalName(name, *c->handler), attributes);
    StopIfDone(c);
}

void OnEnd(void* data, const XML_Char* name)
{
    auto* c = static_cast<Context*>(data);
    c->handler->End(LocalName(name, *c->handler));
    StopIfDone(c);
}

void OnText(void* data, const XML_Char* text, int length)
{
    auto* c = static_cast<Context*>(data);
    c->handler->Text(std::string_view(text, static_cast<std::size_t>(length)));
    StopIfDone(c);
}

// Workbook parts never carry a DTD; refusing one rules out entity tricks.
void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    auto* c = static_cast<Context*>(data);
    c->handler->outcome = XmlHandler::Outcome::Corrupt;
    XML_StopParser(c->parser, XML_FALSE);
}

Package::Status ZipErrorStatus(int code)
{
    switch (code) {
    case ZIP_ER_NOENT:
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
        return Package::Status::CannotOpen;
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
        return Package::Status::Encrypted;
    case ZIP_ER_MEMORY:
        return Package::Status::TooLarge;
    default:
        return Package::Status::Corrupt;
    }
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

const char* XmlHandler::Attribute(const char** attributes, std::string_view local, bool namespaced)
{
    // A plain name is the local name itself, without a colon: compared in
    // place, as a worksheet asks this for every row and cell.
    if (!namespaced) {
        for (const char** a = attributes; a && a[0]; a += 2)
            if (std::strncmp(a[0], local.data(), local.size()) == 0 && a[0][local.size()] == '\0') return a[1];
        return nullptr;
    }
    for (const char** a = attributes; a && a[0]; a += 2) {
        const std::string_view name(a[0]);
        const auto colon = name.rfind(kPrefixSeparator);
        const bool prefixed = colon != std::string_view::npos;
        // xmlns declarations are not attributes of the element.
        if (prefixed && name.substr(0, colon) == "xmlns") continue;
        if (prefixed == namespaced && (prefixed ? name.substr(colon + 1) : name) == local) return a[1];
    }
    return nullptr;
}

void Package::ZipCloser::operator()(zip* z) const { zip_discard(z); }

Package::Package() = default;
Package::~Package() = default;

Package::Status Package::Open(const std::filesystem::path& path)
{
    int error = 0;
    zip_.reset(detail::OpenZipArchive(path, ZIP_RDONLY, &error));
    return zip_ ? Status::Ok : ZipErrorStatus(error);
}

bool Package::Has(std::string_view part) const
{
    const std::string name(part);
    return zip_ && zip_name_locate(zip_.get(), name.c_str(), ZIP_FL_NOCASE) >= 0;
}

namespace {

// Inflates a part on a second thread, one chunk ahead of its reader: the
// inflate and its CRC cost about a fifth of reading a large worksheet, and
// they overlap the scan of the chunk before, as does the look at whether a
// chunk is plain ASCII, which spares the scan its own check of each
// character. Two buffers take turns; the reader's thread never touches the
// archive while this one reads it.
class ReadAhead {
public:
    explicit ReadAhead(zip_file_t* file)
        : file_(file), buffers_{std::vector<char>(kChunkBytes), std::vector<char>(kChunkBytes)}
    {
        // A thread the system cannot give is a want of resources, as memory
        // is, and is reported so.
        try {
            worker_ = std::thread([this] { Run(); });
        } catch (const std::system_error&) {
            throw std::bad_alloc();
        }
    }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    // Stops the inflating (a reader that ends early, or throws) and waits
    // for it.
    ~ReadAhead()
    {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }

    struct Chunk {
        const char* data;
        zip_int64_t count; // zip_fread's: 0 at the end, negative for an inflate or CRC error
        bool plain;        // PlainXmlText
    };
    // The next chunk, which stays valid until the next call.
    Chunk Next()
    {
        std::unique_lock lock(mutex_);
        if (taken_) {
            // The chunk handed out before is read: its buffer is free again.
            ready_[next_] = false;
            next_ ^= 1;
            changed_.notify_all();
        }
        changed_.wait(lock, [&] { return ready_[next_]; });
        taken_ = true;
        return {buffers_[next_].data(), counts_[next_], plain_[next_]};
    }

private:
    void Run()
    {
        for (std::size_t k = 0;; k ^= 1) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stopped_ || !ready_[k]; });
                if (stopped_) return;
            }
            const zip_int64_t n = zip_fread(file_, buffers_[k].data(), buffers_[k].size());
            const bool plain = n > 0 && PlainXmlText(buffers_[k].data(), static_cast<std::size_t>(n));
            {
                const std::lock_guard lock(mutex_);
                counts_[k] = n;
                plain_[k] = plain;
                ready_[k] = true;
            }
            changed_.notify_all();
            if (n <= 0) return;
        }
    }

    zip_file_t* file_;
    std::vector<char> buffers_[2];
    zip_int64_t counts_[2] = {0, 0};
    bool plain_[2] = {false, false};
    bool ready_[2] = {false, false}; // filled and not yet given back
    std::size_t next_ = 0;           // the buffer the reader takes next
    bool taken_ = false;             // next_ was handed out and is in use
    bool stopped_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread worker_;
};

// Inflates a part chunk by chunk into consume(data, size, last, plain), which returns
// nothing to go on or the status to end with. The caps on the expanded size
// stop a zip bomb whatever reads the chunks.
template <typename Consume>
Package::Status Inflate(zip* archive, zip_uint64_t index, zip_uint64_t compressed, Consume consume)
{
    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive, index, 0));
    if (!file) return ZipErrorStatus(zip_error_code_zip(zip_get_error(archive)));
    ReadAhead chunks(file.get());
    std::size_t total = 0;
    for (;;) {
        const auto [data, n, plain] = chunks.Next();
        if (n < 0) return Package::Status::Corrupt; // inflate or CRC error
        total += static_cast<std::size_t>(n);
        if (total > kMaxXlsxPartBytes) return Package::Status::TooLarge;
        // The compressed size comes from the archive; a lie there only makes
        // this check stricter or leaves the total cap above in charge.
        if (total > kRatioFloorBytes && total / kMaxXlsxRatio > compressed) return Package::Status::TooLarge;
        const bool last = n == 0;
        if (const std::optional<Package::Status> s = consume(data, static_cast<std::size_t>(n), last, plain)) return *s;
        if (last) return Package::Status::Ok;
    }
}

// A part found by name (in any case), whose stated size is within limit.
struct PartEntry {
    zip_uint64_t index = 0;
    zip_uint64_t compressed = 0; // 0 when the directory does not say
};

Package::Status Locate(zip* archive, std::string_view part, std::size_t limit, PartEntry& entry)
{
    if (!archive) return Package::Status::CannotOpen;
    const zip_int64_t found = zip_name_locate(archive, std::string(part).c_str(), ZIP_FL_NOCASE);
    if (found < 0) return Package::Status::Missing;
    entry.index = static_cast<zip_uint64_t>(found);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive, entry.index, 0, &st) != 0) return Package::Status::Corrupt;
    if ((st.valid & ZIP_STAT_SIZE) && st.size > limit) return Package::Status::TooLarge;
    entry.compressed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    return Package::Status::Ok;
}

} // namespace

Package::Status Package::Parse(std::string_view part, XmlHandler& handler) const
{
    PartEntry entry;
    if (const Status located = Locate(zip_.get(), part, kMaxXlsxPartBytes, entry); located != Status::Ok)
        return located;
    const zip_uint64_t index = entry.index;
    const zip_uint64_t compressed = entry.compressed;

    // Every writer at hand saves its parts in UTF-8, which the scanner reads;
    // it gives up on another encoding before the handler has seen anything.
    bool otherEncoding = false;
    {
        XmlScanner scanner(handler);
        const Status s =
            Inflate(zip_.get(), index, compressed, [&](const char* data, std::size_t size, bool last, bool plain) {
                std::optional<Status> end;
                switch (scanner.Feed(data, size, last, plain)) {
                case XmlScanner::Result::More:
                    break;
                case XmlScanner::Result::Done:
                    end = Status::Ok;
                    break;
                case XmlScanner::Result::Corrupt:
                    end = Status::Corrupt;
                    break;
                case XmlScanner::Result::TooLarge:
                    end = Status::TooLarge;
                    break;
                case XmlScanner::Result::OtherEncoding:
                    otherEncoding = true;
                    end = Status::Ok;
                    break;
                }
                return end;
            });
        if (!otherEncoding) return s;
    }

    std::unique_ptr<XML_ParserStruct, ParserFreer> parser(XML_ParserCreate(nullptr));
    if (!parser) throw std::bad_alloc();
    Context context{&handler, parser.get()};
    XML_SetUserData(parser.get(), &context);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    return Inflate(zip_.get(), index, compressed, [&](const char* data, std::size_t size, bool last, bool) {
        std::optional<Status> end;
        if (XML_Parse(parser.get(), data, static_cast<int>(size), last) == XML_STATUS_ERROR) {
            switch (handler.outcome) {
            case XmlHandler::Outcome::Done:
                end = Status::Ok;
                break;
            case XmlHandler::Outcome::TooLarge:
                end = Status::TooLarge;
                break;
            default:
                end = Status::Corrupt;
                break;
            }
        } else if (handler.outcome == XmlHandler::Outcome::Corrupt) {
            end = Status::Corrupt;
        }
        return end;
    });
}

Package::Status Package::Read(std::string_view part, std::size_t limit, std::string& out) const
{
    out.clear();
    PartEntry entry;
    if (const Status located = Locate(zip_.get(), part, limit, entry); located != Status::Ok) return located;
    const zip_uint64_t index = entry.index;
    const zip_uint64_t compressed = entry.compressed;
    return Inflate(zip_.get(), index, compressed,
                   [&](const char* data, std::size_t size, bool, bool) -> std::optional<Status> {
                       if (size > limit - out.size()) return Status::TooLarge;
                       out.append(data, size);
                       return std::nullopt;
                   });
}

std::string ResolvePartName(std::string_view sourceFolder, std::string_view target)
{
    std::string decoded;
    for (std::size_t i = 0; i < target.size(); ++i) {
        if (target[i] == '%' && i + 2 < target.size() && HexValue(target[i + 1]) >= 0 && HexValue(target[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(HexValue(target[i + 1]) * 16 + HexValue(target[i + 2])));
            i += 2;
        } else {
            decoded.push_back(target[i] == '\\' ? '/' : target[i]);
        }
    }
    std::string joined = (!decoded.empty() && decoded[0] == '/') ? decoded : std::string(sourceFolder) + decoded;
    std::vector<std::string> segments;
    std::size_t begin = 0;
    while (begin <= joined.size()) {
        std::size_t slash = joined.find('/', begin);
        if (slash == std::string::npos) slash = joined.size();
        const std::string segment = joined.substr(begin, slash - begin);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        begin = slash + 1;
    }
    std::string out;
    for (const auto& s : segments) {
        if (!out.empty()) out.push_back('/');
        out += s;
    }
    return out;
}

ReadError ReadErrorOf(Package::Status status, ReadError whenMissing)
{
    switch (status) {
    case Package::Status::Ok:
        return ReadError::None;
    case Package::Status::CannotOpen:
        return ReadError::CannotOpen;
    case Package::Status::TooLarge:
        return ReadError::TooLarge;
    case Package::Status::Encrypted:
        return ReadError::Encrypted;
    case Package::Status::Missing:
        return whenMissing;
    case Package::Status::Corrupt:
        break;
    }
    return ReadError::Corrupt;
}

} // namespace korvanta::excel::detail
