// Worksheets of an .xlsx workbook: their names from the workbook part and
// its relationships, and any one of them read by the .xlsx reader, which
// takes the first worksheet the workbook lists: it is handed a temporary
// copy of the package whose workbook part lists the chosen sheet first.
#include "excel/sheet_choice.h"
#include "excel/zip_parts.h"

#include <zip.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

namespace korvanta::excel::detail {
namespace {

constexpr std::size_t kMaxWorkbookPartBytes = std::size_t{64} << 20;

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}


struct Relationship {
    std::string type, target;
    bool external = false;
};

class RelsSink final : public XmlSink {
public:
    std::map<std::string, Relationship> byId;

    void start(std::string_view, std::string_view local, const char** a) override {
        if (local != "Relationship") return;
        const char* id = attribute(a, {}, "Id");
        const char* type = attribute(a, {}, "Type");
        const char* target = attribute(a, {}, "Target");
        const char* mode = attribute(a, {}, "TargetMode");
        if (id && type && target) byId[id] = {type, target, mode && std::string_view(mode) == "External"};
    }
    void end(std::string_view, std::string_view) override {}
};

// The <sheet> elements of the workbook part with where each lies in it.
class WorkbookSink final : public XmlSink {
public:
    struct Sheet {
        std::string name, id;
        long long begin = 0, end = 0;
    };
    std::vector<Sheet> sheets;

    void start(std::string_view, std::string_view local, const char** a) override {
        if (local == "sheets") {
            inSheets_ = true;
        } else if (inSheets_ && local == "sheet") {
            Sheet sheet;
            const char* name = attribute(a, {}, "name");
            sheet.name = name ? name : "";
            // r:id, in the transitional or the strict namespace.
            for (const char** p = a; p && *p; p += 2) {
                const auto [uri, attr] = split(*p);
                if (attr == "id" && EndsWith(uri, "relationships")) sheet.id = p[1];
            }
            sheet.begin = tagOffset;
            sheet.end = tagOffset + tagLength;
            sheets.push_back(std::move(sheet));
        }
    }
    void end(std::string_view, std::string_view local) override {
        if (local == "sheets") {
            inSheets_ = false;
            stop = true;
        } else if (inSheets_ && local == "sheet" && !sheets.empty()) {
            sheets.back().end = std::max(sheets.back().end, tagOffset + tagLength);
        }
    }

private:
    bool inSheets_ = false;
};

std::string RelsPartOf(std::string_view part) {
    const auto slash = part.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
    const std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

// "/xl/workbook.xml", "xl/workbook.xml", "./xl/workbook.xml".
std::string PackageRootTarget(std::string target) {
    while (target.starts_with("/")) target.erase(0, 1);
    if (target.starts_with("./")) target.erase(0, 2);
    return target;
}

struct Workbook {
    std::string part;                      // its name in the package
    std::string xml;                       // its text
    std::vector<WorkbookSink::Sheet> worksheets;  // chart and macro sheets left out
};

ReadError LoadWorkbook(const ZipParts& zip, Workbook& workbook) {
    workbook.part = "xl/workbook.xml";
    RelsSink root;
    if (const auto s = zip.parse("_rels/.rels", root); s != ZipParts::Status::Ok && s != ZipParts::Status::Missing)
        return ReadErrorOf(s);
    for (const auto& [id, rel] : root.byId)
        if (!rel.external && EndsWith(rel.type, "/officeDocument")) {
            workbook.part = PackageRootTarget(rel.target);
            break;
        }
    if (const auto s = zip.read(workbook.part, kMaxWorkbookPartBytes, workbook.xml); s != ZipParts::Status::Ok) return ReadErrorOf(s);
    WorkbookSink sheets;
    if (!ParseXml(workbook.xml, sheets)) return ReadError::Corrupt;
    RelsSink rels;
    if (const auto s = zip.parse(RelsPartOf(workbook.part), rels); s != ZipParts::Status::Ok) return ReadErrorOf(s);
    for (auto& sheet : sheets.sheets) {
        const auto it = rels.byId.find(sheet.id);
        if (it != rels.byId.end() && !it->second.external && EndsWith(it->second.type, "/worksheet"))
            workbook.worksheets.push_back(std::move(sheet));
    }
    return workbook.worksheets.empty() ? ReadError::NoWorksheet : ReadError::None;
}

// A copy of the package in the temporary folder, removed with this object.
class TemporaryCopy {
public:
    ~TemporaryCopy() {
        if (!path_.empty()) std::filesystem::remove(path_, error_);
    }
    bool make(const std::filesystem::path& source) {
        std::string pattern = (std::filesystem::temp_directory_path(error_) / "korvanta-sheet-XXXXXX").string();
        if (error_) return false;
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) return false;
        ::close(fd);
        path_ = pattern;
        return std::filesystem::copy_file(source, path_, std::filesystem::copy_options::overwrite_existing, error_);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::error_code error_;
};

struct ZipDiscard {
    void operator()(zip* z) const { zip_discard(z); }
};

// Replaces one part of the package at path by text.
bool ReplacePart(const std::filesystem::path& path, const std::string& part, const std::string& text) {
    int error = 0;
    std::unique_ptr<zip, ZipDiscard> archive(zip_open(path.c_str(), 0, &error));
    if (!archive) return false;
    const zip_int64_t index = zip_name_locate(archive.get(), part.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return false;
    zip_source_t* source = zip_source_buffer(archive.get(), text.data(), text.size(), 0);
    if (!source) return false;
    if (zip_file_replace(archive.get(), static_cast<zip_uint64_t>(index), source, 0) != 0) {
        zip_source_free(source);
        return false;
    }
    // zip_close frees the archive only when it succeeds.
    if (zip_close(archive.get()) != 0) return false;
    archive.release();
    return true;
}

}  // namespace

SheetList ListXlsxSheets(const std::filesystem::path& path) {
    ZipParts zip;
    if (const auto s = zip.open(path); s != ZipParts::Status::Ok) return ListFailure(ReadErrorOf(s));
    Workbook workbook;
    if (const ReadError e = LoadWorkbook(zip, workbook); e != ReadError::None) return ListFailure(e);
    SheetList list;
    for (auto& sheet : workbook.worksheets) list.names.push_back(std::move(sheet.name));
    return list;
}

ReadResult ReadXlsxSheet(const std::filesystem::path& path, std::size_t index) {
    Workbook workbook;
    {
        ZipParts zip;
        if (const auto s = zip.open(path); s != ZipParts::Status::Ok) return Failure(ReadErrorOf(s));
        if (const ReadError e = LoadWorkbook(zip, workbook); e != ReadError::None) return Failure(e);
    }
    if (index >= workbook.worksheets.size()) return Failure(ReadError::NoWorksheet);
    if (index == 0) return ReadFirstSheet(path);

    // The chosen sheet's element and the first worksheet's change places.
    const auto& first = workbook.worksheets.front();
    const auto& chosen = workbook.worksheets[index];
    const std::string_view xml = workbook.xml;
    const auto piece = [&](long long from, long long to) {
        return xml.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    };
    std::string reordered;
    reordered.reserve(xml.size());
    reordered += piece(0, first.begin);
    reordered += piece(chosen.begin, chosen.end);
    reordered += piece(first.end, chosen.begin);
    reordered += piece(first.begin, first.end);
    reordered += piece(chosen.end, static_cast<long long>(xml.size()));

    TemporaryCopy copy;
    if (!copy.make(path) || !ReplacePart(copy.path(), workbook.part, reordered)) return Failure(ReadError::CannotOpen);
    return ReadFirstSheet(copy.path());
}

}  // namespace korvanta::excel::detail
