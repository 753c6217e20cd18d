// A build without ReadStat: the statistics packages' files are known by
// their signatures but neither read nor written, and the file dialogs do
// not offer them.
#include "excel/atomic_file.h"
#include "excel/statfile.h"

namespace korvanta::excel {

bool ReadsStatisticsFiles() { return false; }

WriteResult ExportDataset(const std::filesystem::path&, ExportFormat, const Dataset&)
{
    return detail::WriteFailure(WriteError::WriteFailed, "this build writes no statistics files");
}

namespace detail {

Opened OpenStatistics(const std::filesystem::path&, FileFormat) { return {ReadError::NotWorkbook, nullptr}; }

ReadResult ParseStatistics(FileFormat, std::span<const std::uint8_t>, const ReadLimits&)
{
    return Failure(ReadError::NotWorkbook);
}

// Nothing is parsed, so nothing crosses a pipe.
Bytes EncodeReadResult(const ReadResult&) { return {}; }
bool DecodeReadResult(std::span<const std::uint8_t>, ReadResult&) { return false; }

} // namespace detail
} // namespace korvanta::excel
