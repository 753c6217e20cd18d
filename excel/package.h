// The zip package of an .xlsx workbook or an OpenDocument spreadsheet, read
// part by part: each part is decompressed in chunks straight into a
// streaming XML scanner, so no part is ever held whole, and the bytes a part
// may expand to are capped (in total and against its compressed size) so a
// zip bomb stops early. The one container layer of every zip format.
#pragma once

#include "excel/workbook.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

struct zip;

namespace korvanta::excel::detail {

// Receives the elements of one part. Names are local names, prefixes
// removed. A handler sets outcome to stop the parse.
class XmlHandler {
public:
    enum class Outcome { Continue, Done, Corrupt, TooLarge };

    virtual ~XmlHandler() = default;
    virtual void Start(std::string_view name, const char** attributes) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(std::string_view) {}

    Outcome outcome = Outcome::Continue;
    // The prefix of the element Start() or End() is given ("table" for
    // <table:table-cell>), for a format whose vocabularies share local names.
    std::string_view prefix;

    // The value of an attribute by local name; a prefixed one (r:id) only
    // when namespaced is true, a plain one otherwise. Null when absent.
    static const char* Attribute(const char** attributes, std::string_view local, bool namespaced = false);
};

class Package {
public:
    enum class Status { Ok, Missing, CannotOpen, Corrupt, TooLarge, Encrypted };

    Package();
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    Status Open(const std::filesystem::path& path);

    // Part names as in the package, without a leading '/'; case is ignored.
    bool Has(std::string_view part) const;
    Status Parse(std::string_view part, XmlHandler& handler) const;
    // A small part whole, refused past limit bytes.
    Status Read(std::string_view part, std::size_t limit, std::string& out) const;

private:
    struct ZipCloser {
        void operator()(zip* z) const;
    };
    std::unique_ptr<zip, ZipCloser> zip_;
};

// What a failed open, parse or read means to an import. A part that is not
// there means whenMissing: the main part missing, the file is no workbook;
// a part the workbook refers to missing, the file is corrupt (the default).
ReadError ReadErrorOf(Package::Status status, ReadError whenMissing = ReadError::Corrupt);

// A relationship target resolved against the folder of its source part
// ("xl/"): relative ("worksheets/sheet1.xml", "../x.xml"), absolute
// ("/xl/worksheets/sheet1.xml") and percent-encoded forms.
std::string ResolvePartName(std::string_view sourceFolder, std::string_view target);

} // namespace korvanta::excel::detail
