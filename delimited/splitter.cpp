#include "delimited/splitter.h"

#include <cstring>
#include <limits>

namespace korvanta::delimited {
namespace {

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

std::string_view TrimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::size_t CountChars(std::string_view s)
{
    std::size_t n = 0;
    for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// What one record gave: its field count, whether it held anything but
// spaces, and where it went past a limit.
struct RecordShape {
    int count = 0;
    bool blank = true;
    std::size_t wideColumn = 0;                     // from 1: the first field with something in it past the kept ones
    std::size_t longColumn = 0;                     // from 1: the first field longer than the cap
    std::size_t openQuote = std::string_view::npos; // a quote never closed, by its offset
};

// Walks the text one record at a time. Fields are built only when asked for,
// so that the separator choice can count fields of large files cheaply, and
// never more of a field than the cap: the walk costs the text's length and
// no more memory than the kept fields.
class Splitter {
public:
    Splitter(std::string_view text, Separator separator, std::size_t maxFields = kNoLimit,
             std::size_t capChars = kNoLimit)
        : text_(text), separator_(separator), sep_(SeparatorChar(separator)), maxFields_(maxFields), capChars_(capChars)
    {}

    bool AtEnd() const { return i_ >= text_.size(); }
    std::size_t Position() const { return i_; }

    // Hands each field to visit, as it is built, instead of keeping it; a
    // false answer is remembered in Failed().
    void Visit(const std::function<bool(const std::string&)>* visit) { visit_ = visit; }
    bool Failed() const { return failed_; }

    // The next record's fields into `fields` when it is given (cleared first).
    RecordShape Record(std::vector<std::string>* fields)
    {
        RecordShape shape;
        if (fields) fields->clear();
        for (;;) {
            ++shape.count;
            Field(fields, shape);
            // A record past a limit is refused: the rest of it is not read.
            if (shape.wideColumn != 0 || shape.longColumn != 0 || shape.openQuote != std::string_view::npos)
                return shape;
            if (separator_ == Separator::Spaces) {
                SkipSpaces();
                if (AtLineEnd()) break;
                continue;
            }
            if (!AtSeparator()) break;
            ++i_;
        }
        if (i_ < text_.size()) i_ += text_[i_] == '\r' && i_ + 1 < text_.size() && text_[i_ + 1] == '\n' ? 2u : 1u;
        return shape;
    }

private:
    bool AtSeparator() const { return i_ < text_.size() && sep_ != '\0' && text_[i_] == sep_; }
    bool AtLineEnd() const { return i_ >= text_.size() || IsLineEnd(text_[i_]); }

    void SkipSpaces()
    {
        while (i_ < text_.size() && text_[i_] == ' ') ++i_;
    }

    // Appends a piece of a kept field, up to the cap: a longer field keeps
    // its first cap characters and is marked.
    void Append(std::string& value, std::string_view piece, std::size_t& chars, bool& tooLong) const
    {
        if (tooLong) return;
        const std::size_t n = CountChars(piece);
        if (n > capChars_ - chars) {
            tooLong = true;
            std::size_t end = 0;
            for (std::size_t room = capChars_ - chars; end < piece.size(); ++end)
                if ((static_cast<unsigned char>(piece[end]) & 0xC0) != 0x80 && room-- == 0) break;
            piece = piece.substr(0, end);
        }
        chars += n;
        value += piece;
    }

    void Field(std::vector<std::string>* fields, RecordShape& shape)
    {
        SkipSpaces();
        const bool keep = fields != nullptr && fields->size() < maxFields_;
        std::string value;
        std::size_t chars = 0;
        bool tooLong = false;
        bool something = false;
        if (i_ < text_.size() && text_[i_] == '"') {
            shape.blank = false;
            const std::size_t open = i_++;
            for (;;) {
                const void* found = std::memchr(text_.data() + i_, '"', text_.size() - i_);
                const std::size_t quote =
                    found ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data()) : text_.size();
                something = something || quote > i_;
                if (keep) Append(value, text_.substr(i_, quote - i_), chars, tooLong);
                i_ = quote;
                if (i_ >= text_.size()) {
                    shape.openQuote = open;
                    break;
                }
                ++i_;
                if (i_ < text_.size() && text_[i_] == '"') {
                    something = true;
                    if (keep) Append(value, "\"", chars, tooLong);
                    ++i_;
                } else {
                    break;
                }
            }
        }
        const std::size_t start = i_;
        while (i_ < text_.size() && !IsLineEnd(text_[i_]) && text_[i_] != sep_) ++i_;
        const std::string_view rest = TrimSpaces(text_.substr(start, i_ - start));
        if (!rest.empty()) shape.blank = false;
        something = something || !rest.empty();
        const auto column = static_cast<std::size_t>(shape.count);
        if (keep) {
            Append(value, rest, chars, tooLong);
            if (tooLong && shape.longColumn == 0) shape.longColumn = column;
            if (visit_ != nullptr)
                failed_ = failed_ || !(*visit_)(value);
            else
                fields->push_back(std::move(value));
        } else if (fields != nullptr && something && shape.wideColumn == 0) {
            shape.wideColumn = column;
        }
    }

    std::string_view text_;
    Separator separator_;
    char sep_;
    std::size_t maxFields_;
    std::size_t capChars_;
    const std::function<bool(const std::string&)>* visit_ = nullptr;
    bool failed_ = false;
    std::size_t i_ = 0;
};

} // namespace

char SeparatorChar(Separator separator)
{
    switch (separator) {
    case Separator::Tab:
        return '\t';
    case Separator::Semicolon:
        return ';';
    case Separator::Comma:
        return ',';
    case Separator::Spaces:
        return ' ';
    case Separator::None:
        break;
    }
    return '\0';
}

std::size_t LineAt(std::string_view text, std::size_t offset)
{
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
    }
    return line;
}

std::vector<std::vector<std::string>> SplitRecords(std::string_view text, Separator separator, const TextLimits& limits,
                                                   TextFault* fault)
{
    std::vector<std::vector<std::string>> rows;
    Splitter splitter(text, separator, limits.columns, limits.cellChars);
    std::vector<std::string> fields;
    std::size_t cells = 0;
    std::size_t bytes = 0;
    // Blank rows past the row limit are not kept: they count only when a
    // row with something in it follows them.
    const auto refuse = [&](TextProblem problem, std::size_t offset, std::size_t column, std::size_t limit) {
        *fault = {problem, offset == std::string_view::npos ? 0 : LineAt(text, offset), column, limit};
        return std::vector<std::vector<std::string>>{};
    };
    while (!splitter.AtEnd()) {
        const std::size_t start = splitter.Position();
        const RecordShape shape = splitter.Record(&fields);
        if (shape.openQuote != std::string_view::npos) return refuse(TextProblem::UnclosedQuote, shape.openQuote, 0, 0);
        if (shape.longColumn != 0) return refuse(TextProblem::CellTooLong, start, shape.longColumn, limits.cellChars);
        if (shape.wideColumn != 0) return refuse(TextProblem::TooManyColumns, start, shape.wideColumn, limits.columns);
        if (rows.size() >= limits.rows) {
            if (!shape.blank) return refuse(TextProblem::TooManyRows, start, 0, limits.rows);
            continue;
        }
        cells += fields.size();
        for (const std::string& field : fields) bytes += field.size();
        if (cells > limits.cells) return refuse(TextProblem::TooManyCells, start, 0, limits.cells);
        if (bytes > limits.bytes) return refuse(TextProblem::TooMuchText, start, 0, limits.bytes);
        rows.push_back(std::move(fields));
        fields = {};
    }
    return rows;
}

std::map<int, int> FieldCountRecords(std::string_view text, Separator separator, std::size_t maxRecords, int* records)
{
    std::map<int, int> counts;
    Splitter splitter(text, separator);
    *records = 0;
    while (!splitter.AtEnd() && static_cast<std::size_t>(*records) < maxRecords) {
        const RecordShape shape = splitter.Record(nullptr);
        if (shape.count > 1 || !shape.blank) {
            ++counts[shape.count];
            ++*records;
        }
    }
    return counts;
}

bool EveryField(std::string_view text, Separator separator, std::size_t maxRecords, std::size_t cap,
                const std::function<bool(const std::string&)>& pred)
{
    Splitter splitter(text, separator, kNoLimit, cap);
    splitter.Visit(&pred);
    std::vector<std::string> none;
    for (std::size_t n = 0; !splitter.AtEnd() && n < maxRecords && !splitter.Failed(); ++n) splitter.Record(&none);
    return !splitter.Failed();
}

} // namespace korvanta::delimited
