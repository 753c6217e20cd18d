// Writing .sav and .dta files through ReadStat, and their export: built in
// memory, written beside the target, read back by our reader and compared.
#include "excel/atomic_file.h"
#include "excel/export_check.h"
#include "excel/statfile.h"
#include "excel/text.h"

#include <readstat.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace korvanta::excel::detail {
namespace {

// Stata keeps a variable label of 80 characters, SPSS a value label of 120
// bytes; what is written is cut to fit both, and the read-back compares
// with the cut text.
constexpr std::size_t kLabelChars = 80;
constexpr std::size_t kValueLabelBytes = 120;
// The longest string a .dta of version 118 holds in a plain str# variable.
constexpr std::size_t kMaxDtaStringBytes = 2045;

std::string CutBytes(std::string text, std::size_t bytes)
{
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

// The packages pad labels with spaces, so trailing ones do not survive a
// reading; they are left out of what is written.
std::string TrimmedEnd(std::string text)
{
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string LabelText(const std::string& label)
{
    std::string text = label;
    TruncateChars(text, kLabelChars);
    return TrimmedEnd(std::move(text));
}

struct WriterDeleter {
    void operator()(readstat_writer_t* writer) const { readstat_writer_free(writer); }
};

ssize_t Append(const void* data, size_t length, void* context)
{
    auto& out = *static_cast<Bytes*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    try {
        out.insert(out.end(), bytes, bytes + length);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return static_cast<ssize_t>(length);
}

// Whether every text of a variable is a number or empty, and the count of
// cases it has (up to its last text).
bool IsNumeric(const DataVariable& variable)
{
    return std::all_of(variable.values.begin(), variable.values.end(),
                       [](const std::string& text) { return text.empty() || IsNumberCell(text); });
}

std::size_t CaseCount(const Dataset& dataset)
{
    std::size_t cases = 0;
    for (const DataVariable& variable : dataset.variables)
        for (std::size_t r = 0; r < variable.values.size(); ++r)
            if (!variable.values[r].empty()) cases = std::max(cases, r + 1);
    return cases;
}

WriteResult Failed(readstat_error_t error)
{
    if (error == READSTAT_ERROR_MALLOC) return WriteFailure(WriteError::OutOfMemory, "out of memory");
    return WriteFailure(WriteError::WriteFailed, readstat_error_message(error));
}

// What a value reads back as, and what the label texts are once written.
struct Written {
    std::vector<bool> numeric;
    std::size_t cases = 0;
};

std::string ValueLabelText(const std::string& label) { return TrimmedEnd(CutBytes(label, kValueLabelBytes)); }

std::string CompareReadBack(const std::filesystem::path& file, const Dataset& dataset, const Written& written)
{
    const DataFile data(file);
    if (!data.Ok()) return "read back: read error " + std::to_string(static_cast<int>(data.Error()));
    const ReadResult read = data.ReadSheet(0, ReadLimits{kMaxXlsxRows, std::size_t(-1), std::size_t(-1)});
    if (!read.Ok()) return "read back: read error " + std::to_string(static_cast<int>(read.error));
    if (read.variables.size() != dataset.variables.size()) return "read back another count of variables";
    if (read.rows.size() != written.cases)
        return "read back " + std::to_string(read.rows.size()) + " cases, wrote " + std::to_string(written.cases);
    for (std::size_t c = 0; c < dataset.variables.size(); ++c) {
        const DataVariable& wrote = dataset.variables[c];
        const Variable& got = read.variables[c];
        if (got.name != wrote.name) return "variable " + wrote.name + " reads back as " + got.name;
        if (got.label != LabelText(wrote.label)) return "the label of " + wrote.name + " reads back otherwise";
        if (got.text == written.numeric[c]) return "the type of " + wrote.name + " reads back otherwise";
        std::vector<std::pair<Cell, std::string>> labels;
        for (const auto& [value, label] : wrote.valueLabels)
            labels.emplace_back(Cell::MakeNumber(value), ValueLabelText(label));
        auto sorted = got.valueLabels;
        const auto byValue = [](const auto& a, const auto& b) { return a.first.number < b.first.number; };
        std::sort(labels.begin(), labels.end(), byValue);
        std::sort(sorted.begin(), sorted.end(), byValue);
        if (sorted != labels) return "the value labels of " + wrote.name + " read back otherwise";
        for (std::size_t r = 0; r < written.cases; ++r) {
            const std::string_view text =
                r < wrote.values.size() ? std::string_view(wrote.values[r]) : std::string_view();
            const Cell& cell = read.rows[r][c];
            double value = 0;
            bool same = false;
            if (text.empty())
                same = cell.kind == Cell::Kind::Empty;
            else if (written.numeric[c] && IsNumberCell(text, &value))
                same = cell.kind == Cell::Kind::Number && cell.number == value;
            else
                same = cell.kind == Cell::Kind::Text && cell.text == text;
            if (!same) return "case " + std::to_string(r + 1) + " of " + wrote.name + " reads back otherwise";
        }
    }
    return {};
}

} // namespace

WriteResult EncodeStatistics(FileFormat format, const Dataset& dataset, Bytes& out)
{
    const bool dta = format == FileFormat::Dta;
    std::unique_ptr<readstat_writer_t, WriterDeleter> writer(readstat_writer_init());
    if (!writer) return WriteFailure(WriteError::OutOfMemory, "out of memory");
    readstat_set_data_writer(writer.get(), Append);
    if (dta) readstat_writer_set_file_format_version(writer.get(), 118);

    const std::size_t cases = CaseCount(dataset);
    std::vector<readstat_variable_t*> variables;
    std::vector<bool> numeric;
    for (std::size_t c = 0; c < dataset.variables.size(); ++c) {
        const DataVariable& source = dataset.variables[c];
        const bool isNumber = IsNumeric(source);
        std::size_t width = 1;
        if (!isNumber)
            for (const std::string& text : source.values) width = std::max(width, text.size());
        if (dta && width > kMaxDtaStringBytes)
            return WriteFailure(WriteError::TextTooLong, source.name + ": a text past 2045 bytes");
        readstat_variable_t* variable =
            readstat_add_variable(writer.get(), source.name.c_str(),
                                  isNumber ? READSTAT_TYPE_DOUBLE : READSTAT_TYPE_STRING, isNumber ? 0 : width);
        if (!variable) return WriteFailure(WriteError::OutOfMemory, "out of memory");
        readstat_variable_set_label(variable, LabelText(source.label).c_str());
        if (isNumber && !source.valueLabels.empty()) {
            readstat_label_set_t* set = readstat_add_label_set(
                writer.get(), dta ? READSTAT_TYPE_INT32 : READSTAT_TYPE_DOUBLE, source.name.c_str());
            if (!set) return WriteFailure(WriteError::OutOfMemory, "out of memory");
            for (const auto& [value, label] : source.valueLabels) {
                if (dta)
                    readstat_label_int32_value(set, static_cast<std::int32_t>(value), ValueLabelText(label).c_str());
                else
                    readstat_label_double_value(set, value, ValueLabelText(label).c_str());
            }
            readstat_variable_set_label_set(variable, set);
        }
        variables.push_back(variable);
        numeric.push_back(isNumber);
    }
    if (dataset.weight && *dataset.weight < variables.size() && numeric[*dataset.weight] && !dta)
        readstat_writer_set_fweight_variable(writer.get(), variables[*dataset.weight]);

    readstat_error_t status = dta ? readstat_begin_writing_dta(writer.get(), &out, static_cast<long>(cases))
                                  : readstat_begin_writing_sav(writer.get(), &out, static_cast<long>(cases));
    if (status != READSTAT_OK) return Failed(status);
    for (std::size_t r = 0; r < cases; ++r) {
        if ((status = readstat_begin_row(writer.get())) != READSTAT_OK) return Failed(status);
        for (std::size_t c = 0; c < variables.size(); ++c) {
            const auto& values = dataset.variables[c].values;
            const std::string& text = r < values.size() ? values[r] : std::string();
            double value = 0;
            if (!numeric[c])
                status = readstat_insert_string_value(writer.get(), variables[c], text.c_str());
            else if (text.empty() || !IsNumberCell(text, &value))
                status = readstat_insert_missing_value(writer.get(), variables[c]);
            else
                status = readstat_insert_double_value(writer.get(), variables[c], value);
            if (status != READSTAT_OK) return Failed(status);
        }
        if ((status = readstat_end_row(writer.get())) != READSTAT_OK) return Failed(status);
    }
    if ((status = readstat_end_writing(writer.get())) != READSTAT_OK) return Failed(status);
    return {};
}

} // namespace korvanta::excel::detail

namespace korvanta::excel {

WriteResult ExportDataset(const std::filesystem::path& path, ExportFormat format, const Dataset& dataset)
try {
    if (format != ExportFormat::Sav && format != ExportFormat::Dta)
        return detail::WriteFailure(WriteError::WriteFailed, "not a statistics format");
    Columns columns;
    for (const DataVariable& variable : dataset.variables) columns.push_back(variable.values);
    if (auto check = detail::CheckExport(columns, kMaxXlsxRows); !check.Ok()) return check;
    const FileFormat file = format == ExportFormat::Sav ? FileFormat::Sav : FileFormat::Dta;
    detail::Bytes bytes;
    if (auto r = detail::EncodeStatistics(file, dataset, bytes); !r.Ok()) return r;
    detail::Written written;
    written.cases = detail::CaseCount(dataset);
    for (const DataVariable& variable : dataset.variables) written.numeric.push_back(detail::IsNumeric(variable));
    return detail::SaveVerified(
        path, format == ExportFormat::Sav ? ".sav" : ".dta", bytes,
        [&](const std::filesystem::path& saved) { return detail::CompareReadBack(saved, dataset, written); });
} catch (const std::bad_alloc&) {
    return detail::WriteFailure(WriteError::OutOfMemory, "out of memory");
}

} // namespace korvanta::excel
