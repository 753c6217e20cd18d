#include "excel/xlsx_styles.h"

#include <charconv>

namespace korvanta::excel::detail {

namespace {

// Far more cell formats than Excel allows (64,000) is a broken part.
constexpr std::size_t kMaxCellFormats = 1 << 20;

unsigned FormatId(const char* text)
{
    unsigned id = 0;
    if (text) std::from_chars(text, text + std::char_traits<char>::length(text), id);
    return id;
}

} // namespace

void XfStylesHandler::Start(std::string_view name, const char** a)
{
    if (name == "numFmt") {
        const char* code = Attribute(a, "formatCode");
        if (code && custom_.size() < kMaxCellFormats)
            custom_[FormatId(Attribute(a, "numFmtId"))] = FormatCodeDateStyle(code);
    } else if (name == "cellXfs") {
        inCellXfs_ = true;
    } else if (inCellXfs_ && name == "xf") {
        const unsigned id = FormatId(Attribute(a, "numFmtId"));
        const auto it = custom_.find(id);
        styles_.Add(it != custom_.end() ? it->second : BuiltInDateStyle(id));
        if (++count_ > kMaxCellFormats) outcome = Outcome::Corrupt;
    }
}

void XfStylesHandler::End(std::string_view name)
{
    if (name == "cellXfs") outcome = Outcome::Done;
}

} // namespace korvanta::excel::detail
