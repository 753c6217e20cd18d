#include "excel/library_paths.h"

#include <climits>
#include <windows.h>
#include <zip.h>

namespace korvanta::excel::detail {

zip* OpenZipArchive(const std::filesystem::path& path, int flags, int* error)
{
    zip_error_t failure;
    zip_error_init(&failure);
    zip_source_t* source = zip_source_win32w_create(path.c_str(), 0, -1, &failure);
    zip_t* archive = source ? zip_open_from_source(source, flags, &failure) : nullptr;
    // An archive that opened owns its source; one that did not leaves it here.
    if (!archive && source) zip_source_free(source);
    if (!archive && error) *error = zip_error_code_zip(&failure);
    zip_error_fini(&failure);
    return archive;
}

namespace {

// The wide name in the system's code page (the one the C library's fopen
// reads narrow names in), or nothing when a character has no place there:
// no character is ever replaced by a look-alike.
std::string InCodePage(const std::wstring& wide)
{
    if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int units = static_cast<int>(wide.size());
    BOOL replaced = FALSE;
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr, 0, nullptr, &replaced);
    if (size <= 0 || replaced) return {};
    std::string narrow(static_cast<std::size_t>(size), '\0');
    replaced = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, narrow.data(), size, nullptr,
                            &replaced) != size ||
        replaced)
        return {};
    return narrow;
}

} // namespace

// A folder named 统计数据 has its name in the code page of a Chinese
// Windows; elsewhere its short (8.3) name, where the volume keeps those,
// is plain ASCII.
std::string NarrowFileName(const std::filesystem::path& path)
{
    if (std::string narrow = InCodePage(path.native()); !narrow.empty()) return narrow;
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return {};
    std::wstring shortName(size, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortName.data(), size);
    if (length == 0 || length >= size) return {};
    shortName.resize(length);
    return InCodePage(shortName);
}

} // namespace korvanta::excel::detail
