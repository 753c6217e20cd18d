#include "excel/xml_scan.h"

#include "excel/text.h"

#include <algorithm>
#include <cstring>

namespace korvanta::excel::detail {

namespace {

// Text longer than this with no '<' in sight goes to the handler in pieces,
// so a huge run of text never sits in the buffer whole.
constexpr std::size_t kTextPieceBytes = 64 * 1024;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Per byte, whether it ends a name inside a tag (white space, '=', '/',
// '>', '<'), and whether an attribute value holding it needs a closer look
// ('<' is refused; '&' and the white space other than ' ' are decoded). One
// look-up per byte keeps the scan of a tag's many attributes short.
struct ByteClasses {
    bool nameEnd[256] = {};
    bool valueSpecial[256] = {};
    constexpr ByteClasses()
    {
        for (char c : {' ', '\t', '\n', '\r', '=', '/', '>', '<'}) nameEnd[static_cast<unsigned char>(c)] = true;
        for (char c : {'<', '&', '\t', '\n', '\r'}) valueSpecial[static_cast<unsigned char>(c)] = true;
    }
};
constexpr ByteClasses kBytes;

bool EndsName(char c) { return kBytes.nameEnd[static_cast<unsigned char>(c)]; }

std::string_view LocalName(std::string_view name, XmlHandler& handler)
{
    const auto colon = name.rfind(':');
    handler.prefix = colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Whether the eight bytes at p are all ASCII at or above 0x20: no byte at or
// above 0x80 and none below 0x20, found in one step.
bool PlainWord(const unsigned char* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    const std::uint64_t high = word & 0x8080808080808080ULL;
    const std::uint64_t low = (word - 0x2020202020202020ULL) & ~word & 0x8080808080808080ULL;
    return (high | low) == 0;
}

// The controls XML allows.
bool AllowedControl(unsigned char c) { return c == '\t' || c == '\n' || c == '\r'; }

// Whether [p, end) is UTF-8 with no character XML forbids: controls other
// than tab, line feed and carriage return, surrogates, U+FFFE and U+FFFF.
// Mostly ASCII, so eight bytes are checked at a time while they are.
bool ValidXmlUtf8(const unsigned char* p, const unsigned char* end)
{
    while (p < end) {
        if (end - p >= 8 && PlainWord(p)) {
            p += 8;
            continue;
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            if (c < 0x20 && !AllowedControl(c)) return false;
            ++p;
            continue;
        }
        std::size_t n = 0;
        char32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF)
            n = 1, cp = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF)
            n = 2, cp = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4)
            n = 3, cp = c & 0x07;
        else
            return false;
        if (static_cast<std::size_t>(end - p) <= n) return false;
        for (std::size_t i = 1; i <= n; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF) return false;
        p += n + 1;
    }
    return true;
}

bool ValidXmlUtf8(const char* p, const char* end)
{
    return ValidXmlUtf8(reinterpret_cast<const unsigned char*>(p), reinterpret_cast<const unsigned char*>(end));
}

bool IsXmlChar(std::uint32_t cp)
{
    return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
           (cp >= 0x10000 && cp <= 0x10FFFF);
}

// One reference after its '&' up to and including ';', appended to out.
// False for an unknown name or a character XML does not allow.
bool DecodeReference(std::string_view ref, std::string& out)
{
    if (ref == "lt")
        out.push_back('<');
    else if (ref == "gt")
        out.push_back('>');
    else if (ref == "amp")
        out.push_back('&');
    else if (ref == "quot")
        out.push_back('"');
    else if (ref == "apos")
        out.push_back('\'');
    else if (ref.size() >= 2 && ref[0] == '#') {
        const bool hex = ref[1] == 'x';
        std::string_view digits = ref.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8) return false;
        std::uint32_t cp = 0;
        for (char c : digits) {
            int v = -1;
            if (c >= '0' && c <= '9')
                v = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                v = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                v = c - 'A' + 10;
            if (v < 0) return false;
            cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
        }
        if (!IsXmlChar(cp)) return false;
        AppendUtf8(out, static_cast<char32_t>(cp));
    } else {
        return false;
    }
    return true;
}

// Text with its references decoded and line ends made "\n", as XML reads
// it; attribute values also turn each white-space character into a space.
bool Decode(const char* p, const char* end, bool attribute, std::string& out)
{
    out.clear();
    while (p < end) {
        const char* stop = p;
        while (stop < end && *stop != '&' && *stop != '\r' && !(attribute && (*stop == '\n' || *stop == '\t'))) ++stop;
        out.append(p, stop);
        if (stop == end) break;
        if (*stop == '&') {
            const char* semi = static_cast<const char*>(std::memchr(stop, ';', static_cast<std::size_t>(end - stop)));
            if (!semi || !DecodeReference(std::string_view(stop + 1, static_cast<std::size_t>(semi - stop - 1)), out))
                return false;
            p = semi + 1;
        } else {
            out.push_back(attribute ? ' ' : '\n');
            p = stop + 1;
            if (*stop == '\r' && p < end && *p == '\n') ++p;
        }
    }
    return true;
}

} // namespace

bool PlainXmlText(const char* data, std::size_t size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* end = p + size;
    while (p < end) {
        if (end - p >= 8 && PlainWord(p)) {
            p += 8;
            continue;
        }
        if (*p >= 0x80 || (*p < 0x20 && !AllowedControl(*p))) return false;
        ++p;
    }
    return true;
}

bool XmlScanner::Valid(const char* p, const char* end) const { return plainSoFar_ || ValidXmlUtf8(p, end); }

XmlScanner::Step XmlScanner::Stop(Result r)
{
    result_ = r;
    return Step::Stop;
}

bool XmlScanner::HandlerStopped()
{
    switch (handler_.outcome) {
    case XmlHandler::Outcome::Continue:
        return false;
    case XmlHandler::Outcome::Done:
        result_ = Result::Done;
        break;
    case XmlHandler::Outcome::TooLarge:
        result_ = Result::TooLarge;
        break;
    case XmlHandler::Outcome::Corrupt:
        result_ = Result::Corrupt;
        break;
    }
    return true;
}

XmlScanner::Result XmlScanner::Feed(const char* data, std::size_t size, bool last, bool plain)
{
    if (result_ != Result::More) return result_;
    plainSoFar_ = plainSoFar_ && plain;
    if (pos_ > 0) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(pos_));
        pos_ = 0;
    }
    buffer_.insert(buffer_.end(), data, data + size);

    if (!started_) {
        const auto* b = reinterpret_cast<const unsigned char*>(buffer_.data());
        if (buffer_.size() < 3 && !last) return Result::More;
        if (buffer_.size() >= 2 && ((b[0] == 0xFE && b[1] == 0xFF) || (b[0] == 0xFF && b[1] == 0xFE)))
            return result_ = Result::OtherEncoding;
        if (buffer_.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) pos_ = 3;
    }

    for (;;) {
        char* begin = buffer_.data();
        char* p = begin + pos_;
        char* end = begin + buffer_.size();
        if (p == end) break;
        const Step step = *p == '<' ? Markup(p, end, last) : Text(p, end, last);
        if (step == Step::Stop) return result_;
        if (step == Step::NeedMore) {
            if (last) return result_ = Result::Corrupt;
            if (buffer_.size() - pos_ > kMaxTokenBytes) return result_ = Result::TooLarge;
            return Result::More;
        }
    }
    if (!last) return Result::More;
    return result_ = rootClosed_ ? Result::Done : Result::Corrupt;
}

XmlScanner::Step XmlScanner::Text(char* p, char* end, bool last)
{
    char* lt = static_cast<char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p)));
    char* stopAt = lt ? lt : end;
    if (!lt && !last) {
        if (static_cast<std::size_t>(end - p) < kTextPieceBytes) return Step::NeedMore;
        // Hand on what cannot change meaning when more arrives: not a
        // character, reference or line end cut in two.
        char* cut = end;
        for (int i = 0; i < 3 && cut > p && (static_cast<unsigned char>(cut[-1]) & 0xC0) == 0x80; ++i) --cut;
        if (cut > p && static_cast<unsigned char>(cut[-1]) >= 0xC0) --cut;
        // The last '&' near the end without its ';' starts a reference still
        // coming; a reference is at most ten bytes ("&#x10FFFF;").
        for (char* q = cut; q > p && cut - q < 16; --q)
            if (q[-1] == ';')
                break;
            else if (q[-1] == '&') {
                cut = q - 1;
                break;
            }
        if (cut > p && cut[-1] == '\r') --cut;
        if (cut == p) return Step::NeedMore;
        stopAt = cut;
    }
    if (!DeliverText(p, stopAt)) return Step::Stop;
    pos_ = static_cast<std::size_t>(stopAt - buffer_.data());
    return Step::Advanced;
}

bool XmlScanner::DeliverText(const char* p, const char* end)
{
    if (p == end) return true;
    if (depth_ == 0) {
        // Only white space may stand outside the root element.
        for (const char* q = p; q < end; ++q)
            if (!IsSpace(*q)) return Stop(Result::Corrupt), false;
        started_ = true;
        return true;
    }
    if (!Valid(p, end)) return Stop(Result::Corrupt), false;
    const auto size = static_cast<std::size_t>(end - p);
    if (std::memchr(p, '&', size) || std::memchr(p, '\r', size)) {
        if (!Decode(p, end, false, decoded_)) return Stop(Result::Corrupt), false;
        handler_.Text(decoded_);
    } else {
        handler_.Text(std::string_view(p, size));
    }
    return !HandlerStopped();
}

XmlScanner::Step XmlScanner::Markup(char* p, char* end, bool last)
{
    const auto available = static_cast<std::size_t>(end - p);
    const auto startsWith = [&](std::string_view s) {
        return available >= s.size() && std::memcmp(p, s.data(), s.size()) == 0;
    };
    const auto findFrom = [&](std::size_t from, std::string_view close) -> char* {
        if (available < from) return nullptr;
        auto it = std::search(p + from, end, close.begin(), close.end());
        return it == end ? nullptr : it;
    };
    if (available < 2) return Step::NeedMore;
    switch (p[1]) {
    case '/':
        return EndTag(p, end);
    case '?': {
        char* close = findFrom(2, "?>");
        if (!close) return Step::NeedMore;
        if (!Valid(p, close)) return Stop(Result::Corrupt);
        if (!started_ && startsWith("<?xml") && !Declaration(p, close)) return Stop(Result::OtherEncoding);
        started_ = true;
        pos_ = static_cast<std::size_t>(close + 2 - buffer_.data());
        return Step::Advanced;
    }
    case '!': {
        if (available < 9 && !last) return Step::NeedMore;
        if (startsWith("<!--")) {
            char* close = findFrom(4, "-->");
            if (!close) return Step::NeedMore;
            if (!Valid(p, close)) return Stop(Result::Corrupt);
            pos_ = static_cast<std::size_t>(close + 3 - buffer_.data());
        } else if (startsWith("<![CDATA[")) {
            char* close = findFrom(9, "]]>");
            if (!close) return Step::NeedMore;
            if (depth_ == 0 || !Valid(p + 9, close)) return Stop(Result::Corrupt);
            handler_.Text(std::string_view(p + 9, static_cast<std::size_t>(close - p - 9)));
            if (HandlerStopped()) return Step::Stop;
            pos_ = static_cast<std::size_t>(close + 3 - buffer_.data());
        } else {
            // A DTD, and with it entity declarations, has no place in a part.
            return Stop(Result::Corrupt);
        }
        started_ = true;
        return Step::Advanced;
    }
    default:
        return StartTag(p, end);
    }
}

// The XML declaration: only UTF-8 (or no encoding named) is read here.
bool XmlScanner::Declaration(const char* p, const char* end)
{
    const std::string_view decl(p, static_cast<std::size_t>(end - p));
    const auto at = decl.find("encoding");
    if (at == std::string_view::npos) return true;
    auto q = decl.find_first_of("\"'", at);
    if (q == std::string_view::npos) return false;
    const auto close = decl.find(decl[q], q + 1);
    if (close == std::string_view::npos) return false;
    std::string name(decl.substr(q + 1, close - q - 1));
    for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return name == "utf-8" || name == "utf8";
}

XmlScanner::Step XmlScanner::StartTag(char* p, char* end)
{
    char* q = p + 1;
    while (q < end && !EndsName(*q)) ++q;
    if (q == end) return Step::NeedMore;
    char* const nameEnd = q;
    if (nameEnd == p + 1) return Stop(Result::Corrupt);

    struct Attribute {
        char *name, *nameEnd, *value, *valueEnd;
        bool special; // holds '&' or white space other than ' '
    };
    Attribute found[16];
    std::vector<Attribute> more;
    std::size_t count = 0;
    bool empty = false;
    for (;;) {
        char* const before = q;
        while (q < end && IsSpace(*q)) ++q;
        if (q == end) return Step::NeedMore;
        if (*q == '>') {
            ++q;
            break;
        }
        if (*q == '/') {
            if (q + 1 == end) return Step::NeedMore;
            if (q[1] != '>') return Stop(Result::Corrupt);
            q += 2;
            empty = true;
            break;
        }
        if (q == before) return Stop(Result::Corrupt); // attributes are separated by white space
        Attribute a{q, nullptr, nullptr, nullptr, false};
        while (q < end && !EndsName(*q)) ++q;
        if (q == end) return Step::NeedMore;
        a.nameEnd = q;
        if (a.nameEnd == a.name) return Stop(Result::Corrupt);
        while (q < end && IsSpace(*q)) ++q;
        if (q == end) return Step::NeedMore;
        if (*q != '=') return Stop(Result::Corrupt);
        ++q;
        while (q < end && IsSpace(*q)) ++q;
        if (q == end) return Step::NeedMore;
        const char quote = *q;
        if (quote != '"' && quote != '\'') return Stop(Result::Corrupt);
        a.value = ++q;
        while (q < end && *q != quote) a.special |= kBytes.valueSpecial[static_cast<unsigned char>(*q++)];
        if (q == end) return Step::NeedMore;
        a.valueEnd = q++;
        if (a.special && std::memchr(a.value, '<', static_cast<std::size_t>(a.valueEnd - a.value)))
            return Stop(Result::Corrupt);
        if (count < std::size(found))
            found[count] = a;
        else
            more.push_back(a);
        ++count;
    }
    if (!Valid(p, q)) return Stop(Result::Corrupt);
    if (depth_ == 0 && rootClosed_) return Stop(Result::Corrupt); // a second root

    // The whole tag is here: terminate the names and values in place (a
    // decoded value is never longer than its source) for the handler.
    attributes_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        Attribute& a = i < std::size(found) ? found[i] : more[i - std::size(found)];
        *a.nameEnd = '\0';
        if (a.special) {
            if (!Decode(a.value, a.valueEnd, true, decoded_)) return Stop(Result::Corrupt);
            std::memcpy(a.value, decoded_.data(), decoded_.size());
            a.valueEnd = a.value + decoded_.size();
        }
        *a.valueEnd = '\0';
        attributes_.push_back(a.name);
        attributes_.push_back(a.value);
    }
    attributes_.push_back(nullptr);

    const std::string_view name(p + 1, static_cast<std::size_t>(nameEnd - p - 1));
    started_ = true;
    pos_ = static_cast<std::size_t>(q - buffer_.data());
    if (!empty) {
        if (depth_ == open_.size()) open_.emplace_back();
        open_[depth_++].assign(name);
    }
    const std::string_view local = LocalName(name, handler_);
    handler_.Start(local, attributes_.data());
    if (HandlerStopped()) return Step::Stop;
    if (empty) {
        if (depth_ == 0) rootClosed_ = true;
        LocalName(name, handler_);
        handler_.End(local);
        if (HandlerStopped()) return Step::Stop;
    }
    return Step::Advanced;
}

XmlScanner::Step XmlScanner::EndTag(char* p, char* end)
{
    char* close = static_cast<char*>(std::memchr(p, '>', static_cast<std::size_t>(end - p)));
    if (!close) return Step::NeedMore;
    char* nameEnd = close;
    while (nameEnd > p + 2 && IsSpace(nameEnd[-1])) --nameEnd;
    const std::string_view name(p + 2, static_cast<std::size_t>(nameEnd - p - 2));
    if (depth_ == 0 || open_[depth_ - 1] != name) return Stop(Result::Corrupt);
    --depth_;
    if (depth_ == 0) rootClosed_ = true;
    pos_ = static_cast<std::size_t>(close + 1 - buffer_.data());
    handler_.End(LocalName(name, handler_));
    return HandlerStopped() ? Step::Stop : Step::Advanced;
}

} // namespace korvanta::excel::detail
