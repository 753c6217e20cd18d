// Test helper: the reference tables under tests/stats/reference, one case per
// row, read by column name. Fields never hold commas or quotes; data columns
// join their cells with "|".
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvanta::stats::testing {

using ReferenceRow = std::map<std::string, std::string>;

inline std::vector<std::string> SplitFields(const std::string& line, char separator)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, separator)) fields.push_back(field);
    if (!line.empty() && line.back() == separator) fields.emplace_back();
    return fields;
}

inline std::vector<ReferenceRow> ReadReference(const std::string& name)
{
    const std::string path = std::string(KORVANTA_REFERENCE_DIR) + "/" + name;
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::string line;
    std::getline(in, line);
    const auto header = SplitFields(line, ',');
    std::vector<ReferenceRow> rows;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const auto fields = SplitFields(line, ',');
        if (fields.size() != header.size()) throw std::runtime_error(path + ": ragged row " + line);
        ReferenceRow row;
        for (std::size_t i = 0; i < header.size(); ++i) row[header[i]] = fields[i];
        rows.push_back(std::move(row));
    }
    return rows;
}

// The cell texts of a data column field ("" is a column without cells).
inline std::vector<std::string> CellTexts(const std::string& field)
{
    if (field.empty()) return {};
    return SplitFields(field, '|');
}

} // namespace korvanta::stats::testing
