// Writer of a Compound File Binary container (version 3, 512-byte sectors)
// holding one stream below the root, which is all a .xls workbook needs.
#pragma once

#include "excel/bytes.h"

#include <string_view>

namespace korvanta::excel::detail {

// The container's bytes. The stream is padded with zeros to 4096 bytes so it
// lives in regular sectors and no mini stream is needed.
Bytes BuildCompoundFile(std::u16string_view streamName, Bytes stream);

} // namespace korvanta::excel::detail
