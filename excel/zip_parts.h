// Parts of a zip package (an OpenDocument spreadsheet, or the directory of
// an .xlsx) read for the sheet choice and the .ods reader. A part is
// decompressed in chunks into a namespace-aware XML parser, and the bytes it
// may expand to are capped as the .xlsx reader caps them, so a zip bomb
// stops early.
#pragma once

#include "excel/workbook.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

struct zip;

namespace korvanta::excel::detail {

// Receives the elements of a part, each name split into its namespace URI
// ("" without one) and its local name. Set stop to end the parse early.
class XmlSink {
public:
    virtual ~XmlSink() = default;
    virtual void start(std::string_view uri, std::string_view local, const char** attributes) = 0;
    virtual void end(std::string_view uri, std::string_view local) = 0;
    virtual void text(std::string_view) {}

    bool stop = false;
    // Where the markup of the current start or end tag lies in the document
    // (bytes from its start); an empty element's end tag has length 0.
    long long tagOffset = 0;
    int tagLength = 0;

    // An attribute's value by namespace URI and local name; null when absent.
    static const char* attribute(const char** attributes, std::string_view uri, std::string_view local);
    // Splits an expat name "uri|local".
    static std::pair<std::string_view, std::string_view> split(const char* name);
};

class ZipParts {
public:
    enum class Status { Ok, Missing, CannotOpen, Corrupt, TooLarge };

    ZipParts();
    ~ZipParts();
    ZipParts(const ZipParts&) = delete;
    ZipParts& operator=(const ZipParts&) = delete;

    Status open(const std::filesystem::path& path);
    bool has(std::string_view part) const;
    // A part whole, refused past limit bytes.
    Status read(std::string_view part, std::size_t limit, std::string& out) const;
    // A part streamed through the parser into sink.
    Status parse(std::string_view part, XmlSink& sink) const;

private:
    struct Closer {
        void operator()(zip* z) const;
    };
    std::unique_ptr<zip, Closer> zip_;
};

// Parses a whole document held in memory; false when it is not well formed
// (a stop by the sink is not a failure).
bool ParseXml(std::string_view document, XmlSink& sink);

// What a package's failure means to the user: a missing part says the file
// is no workbook of ours, anything broken inside it that it is corrupt.
inline ReadError ReadErrorOf(ZipParts::Status status) {
    switch (status) {
    case ZipParts::Status::Ok: return ReadError::None;
    case ZipParts::Status::CannotOpen: return ReadError::CannotOpen;
    case ZipParts::Status::TooLarge: return ReadError::TooLarge;
    case ZipParts::Status::Missing: return ReadError::NotWorkbook;
    case ZipParts::Status::Corrupt: break;
    }
    return ReadError::Corrupt;
}

}  // namespace korvanta::excel::detail
