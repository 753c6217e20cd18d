#include "delimited/splitter.h"

namespace korvanta::delimited {
namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

std::string_view TrimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Walks the text one field at a time. Fields are built only when asked for,
// so that the separator choice can count fields of large files cheaply.
class Splitter {
public:
    Splitter(std::string_view text, Separator separator)
        : text_(text), separator_(separator), sep_(SeparatorChar(separator))
    {}

    bool AtEnd() const { return i_ >= text_.size(); }

    // The next record's fields into `fields` when it is given; returns how
    // many there were, and whether the record held anything but spaces.
    int Record(std::vector<std::string>* fields, bool* blank)
    {
        int count = 0;
        *blank = true;
        for (;;) {
            ++count;
            Field(fields, blank);
            if (separator_ == Separator::Spaces) {
                SkipSpaces();
                if (AtLineEnd()) break;
                continue;
            }
            if (!AtSeparator()) break;
            ++i_;
        }
        if (i_ < text_.size()) i_ += text_[i_] == '\r' && i_ + 1 < text_.size() && text_[i_ + 1] == '\n' ? 2u : 1u;
        return count;
    }

private:
    bool AtSeparator() const { return i_ < text_.size() && sep_ != '\0' && text_[i_] == sep_; }
    bool AtLineEnd() const { return i_ >= text_.size() || IsLineEnd(text_[i_]); }

    void SkipSpaces()
    {
        while (i_ < text_.size() && text_[i_] == ' ') ++i_;
    }

    void Field(std::vector<std::string>* fields, bool* blank)
    {
        SkipSpaces();
        std::string value;
        if (i_ < text_.size() && text_[i_] == '"') {
            *blank = false;
            ++i_;
            while (i_ < text_.size()) {
                const char c = text_[i_++];
                if (c != '"') {
                    if (fields) value += c;
                } else if (i_ < text_.size() && text_[i_] == '"') {
                    if (fields) value += '"';
                    ++i_;
                } else {
                    break;
                }
            }
        }
        const std::size_t start = i_;
        while (i_ < text_.size() && !IsLineEnd(text_[i_]) && text_[i_] != sep_) ++i_;
        const std::string_view rest = TrimSpaces(text_.substr(start, i_ - start));
        if (!rest.empty()) *blank = false;
        if (fields) {
            value += rest;
            fields->push_back(std::move(value));
        }
    }

    std::string_view text_;
    Separator separator_;
    char sep_;
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

std::vector<std::vector<std::string>> SplitRecords(std::string_view text, Separator separator)
{
    std::vector<std::vector<std::string>> rows;
    Splitter splitter(text, separator);
    bool blank = false;
    while (!splitter.AtEnd()) {
        std::vector<std::string> fields;
        splitter.Record(&fields, &blank);
        rows.push_back(std::move(fields));
    }
    return rows;
}

std::vector<int> CountFields(std::string_view text, Separator separator)
{
    std::vector<int> counts;
    Splitter splitter(text, separator);
    bool blank = false;
    while (!splitter.AtEnd()) {
        const int count = splitter.Record(nullptr, &blank);
        if (count > 1 || !blank) counts.push_back(count);
    }
    return counts;
}

bool EveryField(std::string_view text, Separator separator, const std::function<bool(const std::string&)>& pred)
{
    Splitter splitter(text, separator);
    bool blank = false;
    std::vector<std::string> fields;
    while (!splitter.AtEnd()) {
        fields.clear();
        splitter.Record(&fields, &blank);
        for (const std::string& field : fields)
            if (!pred(field)) return false;
    }
    return true;
}

} // namespace korvanta::delimited
