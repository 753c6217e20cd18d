#include "grid/pastetext.h"

#include "stats/numbertext.h"

#include <algorithm>

namespace korvanta::grid {
namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Steps over one line end (CR LF counts as one) at i.
std::size_t SkipLineEnd(std::string_view text, std::size_t i)
{
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        return i + 2;
    return i + 1;
}

// "1,5": a number with a decimal comma, as a field of a space-separated line.
bool IsDecimalCommaNumber(std::string_view token)
{
    const std::size_t comma = token.find(',');
    if (comma == std::string_view::npos || token.find(',', comma + 1) != std::string_view::npos || token.find('.') != std::string_view::npos)
        return false;
    std::string mended(token);
    mended[comma] = '.';
    return comma + 1 < token.size() && IsNumberField(mended);
}

// Commas that are all inside space-separated numbers ("1,5 2,5") are
// decimal commas: the spaces separate.
bool CommasAreDecimal(std::string_view text)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ' ' && !IsLineEnd(text[i]))
            continue;
        const std::string_view token = text.substr(start, i - start);
        if (token.find(',') != std::string_view::npos && !IsDecimalCommaNumber(token))
            return false;
        start = i + 1;
    }
    return true;
}

// A quote toggles: a doubled quote inside a quoted field toggles twice.
Separator DetectSeparator(std::string_view text)
{
    bool quoted = false;
    bool semicolon = false, comma = false, spaces = false;
    bool seenOnLine = false;      // a non-space character earlier on this line
    bool spaceAfterText = false;  // and a space after it
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (quoted)
            continue;
        switch (c) {
        case '\t': return Separator::Tab;
        case ';': semicolon = true; break;
        case ',': comma = true; break;
        case ' ': spaceAfterText = seenOnLine; break;
        case '\r':
        case '\n': seenOnLine = spaceAfterText = false; break;
        default:
            if (spaceAfterText)
                spaces = true;
            seenOnLine = true;
            break;
        }
    }
    if (semicolon)
        return Separator::Semicolon;
    if (comma && !(spaces && CommasAreDecimal(text)))
        return Separator::Comma;
    return spaces ? Separator::Spaces : Separator::None;
}

char SeparatorChar(Separator separator)
{
    switch (separator) {
    case Separator::Tab: return '\t';
    case Separator::Semicolon: return ';';
    case Separator::Comma: return ',';
    case Separator::Spaces: return ' ';
    case Separator::None: break;
    }
    return '\0';
}

std::string_view TrimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

class Splitter {
public:
    Splitter(std::string_view text, Separator separator) : text_(text), separator_(separator), sep_(SeparatorChar(separator)) {}

    std::vector<std::vector<std::string>> rows()
    {
        std::vector<std::vector<std::string>> rows;
        while (i_ < text_.size())
            rows.push_back(row());
        return rows;
    }

private:
    bool atSeparator() const { return i_ < text_.size() && sep_ != '\0' && text_[i_] == sep_; }
    bool atLineEnd() const { return i_ >= text_.size() || IsLineEnd(text_[i_]); }

    void skipSpaces()
    {
        while (i_ < text_.size() && text_[i_] == ' ')
            ++i_;
    }

    std::vector<std::string> row()
    {
        std::vector<std::string> fields;
        for (;;) {
            fields.push_back(field());
            if (separator_ == Separator::Spaces) {
                skipSpaces();
                if (atLineEnd())
                    break;
                continue;
            }
            if (!atSeparator())
                break;
            ++i_;
        }
        if (i_ < text_.size())
            i_ = SkipLineEnd(text_, i_);
        return fields;
    }

    std::string field()
    {
        skipSpaces();
        std::string value;
        if (i_ < text_.size() && text_[i_] == '"') {
            ++i_;
            while (i_ < text_.size()) {
                const char c = text_[i_++];
                if (c != '"') {
                    value += c;
                } else if (i_ < text_.size() && text_[i_] == '"') {
                    value += '"';
                    ++i_;
                } else {
                    break;
                }
            }
        }
        // Whatever follows a closing quote belongs to the field too.
        const std::size_t start = i_;
        while (i_ < text_.size() && !IsLineEnd(text_[i_]) && text_[i_] != sep_)
            ++i_;
        value += TrimSpaces(text_.substr(start, i_ - start));
        return value;
    }

    std::string_view text_;
    Separator separator_;
    char sep_;
    std::size_t i_ = 0;
};

// "1,5" -> "1.5", "-,25" -> "-.25"; a field with a point or a second comma
// is left alone (it is not a decimal comma, or not a number at all).
void MendDecimalComma(std::string& field)
{
    const std::size_t comma = field.find(',');
    if (comma == std::string::npos || field.find(',', comma + 1) != std::string::npos || field.find('.') != std::string::npos)
        return;
    if (comma + 1 >= field.size() || field[comma + 1] < '0' || field[comma + 1] > '9')
        return;
    std::string mended = field;
    mended[comma] = '.';
    if (IsNumberField(mended))
        field = std::move(mended);
}

bool IsEmptyRow(const std::vector<std::string>& row)
{
    return std::all_of(row.begin(), row.end(), [](const std::string& f) { return f.empty(); });
}

int UsedWidth(const std::vector<std::string>& row)
{
    for (std::size_t k = row.size(); k > 0; --k)
        if (!row[k - 1].empty())
            return static_cast<int>(k);
    return 0;
}

} // namespace

bool IsNumberField(std::string_view text)
{
    return !text.empty() && stats::ParseDouble(text).has_value();
}

DelimitedText ParseDelimitedText(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());

    DelimitedText result;
    result.separator = DetectSeparator(text);
    result.rows = Splitter(text, result.separator).rows();
    while (!result.rows.empty() && IsEmptyRow(result.rows.back()))
        result.rows.pop_back();
    if (result.separator != Separator::Comma)
        for (auto& row : result.rows)
            for (auto& field : row)
                MendDecimalComma(field);

    if (!result.rows.empty()) {
        const auto& first = result.rows.front();
        const bool header = !IsEmptyRow(first) && std::none_of(first.begin(), first.end(), [](const std::string& f) { return IsNumberField(f); });
        if (header) {
            result.rows.erase(result.rows.begin());
            result.headerSkipped = true;
        }
    }
    for (const auto& row : result.rows)
        result.columns = std::max(result.columns, UsedWidth(row));
    return result;
}

std::string QuoteField(std::string_view field, char separator)
{
    const bool needsQuotes = field.find_first_of(std::string{'"', '\r', '\n', separator}) != std::string_view::npos;
    if (!needsQuotes)
        return std::string(field);
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

} // namespace korvanta::grid
