#include "test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace korvanta::excel::test {

ScratchDir::ScratchDir()
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("korvanta-excel-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> ScratchDir::Files() const
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Describe(const Cell& cell)
{
    switch (cell.kind) {
    case Cell::Kind::Empty:
        return "";
    case Cell::Kind::Number: {
        char buffer[64];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, cell.number).ptr;
        return "n:" + std::string(buffer, end);
    }
    case Cell::Kind::Text:
        return "s:" + cell.text;
    case Cell::Kind::Bool:
        return cell.number != 0 ? "b:TRUE" : "b:FALSE";
    case Cell::Kind::Error:
        return "e:" + cell.text;
    }
    return "?";
}

Table Describe(const std::vector<Row>& rows)
{
    Table table;
    for (const auto& r : rows) table.push_back({Describe(r[0]), Describe(r[1])});
    return table;
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void ExpectReaderProgramsAllowed()
{
    EXPECT_EQ(std::getenv("KORVANTA_NO_READER_PROGRAMS"), nullptr)
        << "this test runs /usr/bin/python3 but is labelled unit in tests/excel/CMakeLists.txt";
}

namespace {

// As Python's json.dumps(..., ensure_ascii=False) writes a string.
std::string JsonQuote(const std::string& s)
{
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out.push_back(ch);
            }
        }
    }
    return out + "\"";
}

} // namespace

std::string JsonRow(const std::string& first, const std::string& second)
{
    return "[" + JsonQuote(first) + ", " + JsonQuote(second) + "]";
}

std::string ExportedCell(const std::string& text)
{
    if (text.empty()) return "";
    double value = 0;
    if (!IsNumberText(text, &value)) return "s:" + text;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    std::string hex = "n:";
    for (int i = 0; i < 8; ++i) {
        char buffer[3];
        std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned>((bits >> (8 * i)) & 0xFF));
        hex += buffer;
    }
    return hex;
}

} // namespace korvanta::excel::test
