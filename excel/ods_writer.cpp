// .ods export: an OpenDocument spreadsheet of one table, "Sheet1". A number
// a number cell keeps (IsKeptAsNumber) is a float cell, every other text a
// string cell whose office:string-value holds it exactly; its paragraph
// shows it too, its spaces, tabs and line ends written as OpenDocument's
// own elements, since a paragraph's white space is collapsed on reading.
#include "excel/export_check.h"

#include <algorithm>
#include <charconv>

namespace korvanta::excel::detail {
namespace {

constexpr std::string_view kMimeType = "application/vnd.oasis.opendocument.spreadsheet";

// The length of a character XML 1.0 cannot carry at the start of text,
// 0 when the character there can be carried.
std::size_t ForbiddenAt(std::string_view text, std::size_t i)
{
    const auto u = static_cast<unsigned char>(text[i]);
    if (u < 0x20 && u != '\t' && u != '\n' && u != '\r') return 1;
    if (u == 0xEF && i + 2 < text.size() && text[i + 1] == '\xBF' && (text[i + 2] == '\xBE' || text[i + 2] == '\xBF'))
        return 3;
    return 0;
}

void AppendAttribute(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        // Written as references, or an XML reader would make them spaces.
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out.push_back(c);
        }
    }
}

void AppendParagraph(std::string& out, std::string_view text)
{
    out += "<text:p>";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') {
            // A run of spaces: the first as itself unless it leads, the
            // rest counted.
            std::size_t n = 1;
            while (i + n < text.size() && text[i + n] == ' ') ++n;
            std::size_t counted = n;
            if (i > 0) {
                out += ' ';
                --counted;
            }
            if (counted == 1) out += "<text:s/>";
            if (counted > 1) out += "<text:s text:c=\"" + std::to_string(counted) + "\"/>";
            i += n - 1;
        } else if (c == '\t') {
            out += "<text:tab/>";
        } else if (c == '\n') {
            out += "<text:line-break/>";
        } else if (c == '\r') {
            // The line break comes with the line feed; a lone one shows none.
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out.push_back(c);
        }
    }
    out += "</text:p>";
}

void AppendCell(std::string& out, std::string_view text)
{
    if (text.empty()) {
        out += "<table:table-cell/>";
        return;
    }
    double value = 0;
    if (IsKeptAsNumber(text, &value)) {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out += "<table:table-cell office:value-type=\"float\" office:value=\"";
        out.append(digits, end);
        out += "\">";
    } else {
        out += "<table:table-cell office:value-type=\"string\" office:string-value=\"";
        AppendAttribute(out, text);
        out += "\">";
    }
    AppendParagraph(out, text);
    out += "</table:table-cell>";
}

} // namespace

Columns OdsContent(const Columns& columns, std::size_t& dropped)
{
    Columns content = columns;
    for (auto& column : content) {
        for (std::string& text : column) {
            std::string kept;
            for (std::size_t i = 0; i < text.size();) {
                if (const std::size_t n = ForbiddenAt(text, i)) {
                    ++dropped;
                    i += n;
                } else {
                    kept.push_back(text[i++]);
                }
            }
            text = std::move(kept);
        }
    }
    return content;
}

WriteResult EncodeOds(const Columns& columns, Bytes& out)
{
    std::size_t rows = 0;
    for (const auto& column : columns)
        for (std::size_t r = column.size(); r > rows; --r)
            if (!column[r - 1].empty()) {
                rows = r;
                break;
            }
    std::string content = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<office:document-content "
                          "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
                          "<office:body><office:spreadsheet><table:table table:name=\"Sheet1\">"
                          "<table:table-column table:number-columns-repeated=\"";
    content += std::to_string(std::max<std::size_t>(columns.size(), 1));
    content += "\"/>";
    content.reserve(content.size() + 80 * rows + 100);
    for (std::size_t r = 0; r < rows; ++r) {
        std::size_t last = 0; // cells in this row up to the last one used
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (r < columns[c].size() && !columns[c][r].empty()) last = c + 1;
        content += "<table:table-row>";
        if (last == 0) content += "<table:table-cell/>";
        for (std::size_t c = 0; c < last; ++c)
            AppendCell(content, r < columns[c].size() ? std::string_view(columns[c][r]) : std::string_view());
        content += "</table:table-row>";
    }
    content += "</table:table></office:spreadsheet></office:body></office:document-content>";

    const std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
        "manifest:version=\"1.2\">"
        "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" manifest:media-type=\"" +
        std::string(kMimeType) +
        "\"/>"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
        "</manifest:manifest>";
    // The media type comes first and stored, where a reader looks for it.
    return ZipParts({{"mimetype", std::string(kMimeType), PackagePart::Store},
                     {"content.xml", std::move(content), PackagePart::Fast},
                     {"META-INF/manifest.xml", manifest, PackagePart::Fast}},
                    out);
}

} // namespace korvanta::excel::detail
