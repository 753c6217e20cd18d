// The first sheet of a workbook, the readers' messages and the number
// texts the writers store as numbers.
#include "excel/workbook.h"

#include "excel/readers.h"
#include "excel/sheets.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <memory>
#include <stdlib.h>
#include <system_error>

namespace korvanta::excel {

ReadResult ReadFirstSheet(const std::filesystem::path& path)
{
    const DataFile file(path);
    // A text file is read only by the import, which knows it by its name.
    if (file.Format() == FileFormat::Text) return detail::Failure(ReadError::NotWorkbook);
    return file.ReadSheet(0);
}

std::string_view ReadErrorMessage(ReadError error)
{
    switch (error) {
    case ReadError::None:
        return "";
    case ReadError::CannotOpen:
        return "无法打开文件，请检查文件是否存在以及是否有读取权限。";
    case ReadError::NotWorkbook:
        return "请打开Excel文件！";
    case ReadError::OldFormat:
        return "不支持Excel 95及更早版本的工作簿，请在Excel中另存为新版本格式后再导入。";
    case ReadError::Encrypted:
        return "该工作簿设有打开密码，无法读取。请在Excel中取消密码后再导入。";
    case ReadError::Corrupt:
        return "工作簿已损坏，无法读取。";
    case ReadError::TooLarge:
        return "工作簿太大，无法读取。";
    case ReadError::NoWorksheet:
        return "工作簿中没有工作表。";
    case ReadError::TooManyRows:
        return "工作表的行数超过了本程序能容纳的32767行数据，未导入。";
    case ReadError::TooManyColumns:
        return "工作表的列数超过了256列，未导入。";
    }
    return "工作簿无法读取。";
}

std::string ImportText(const Cell& cell, const NumberFormatter& formatNumber)
{
    switch (cell.kind) {
    case Cell::Kind::Number:
        return formatNumber(cell.number);
    case Cell::Kind::Text:
        return cell.text;
    case Cell::Kind::Bool:
        return cell.number != 0 ? "TRUE" : "FALSE";
    case Cell::Kind::Empty:
    case Cell::Kind::Error:
        break;
    }
    return {};
}

std::string_view WriteErrorMessage(WriteError error)
{
    switch (error) {
    case WriteError::None:
        return "";
    case WriteError::TooManyRows:
        return "数据行数超过该文件格式的上限（.xls格式最多65536行），无法导出。";
    case WriteError::TextTooLong:
        return "有单元格的文字超过32767个字符，无法导出。";
    case WriteError::TooLarge:
        return "数据太多，无法导出为.xls格式。";
    case WriteError::InvalidText:
        return "数据中含有无法识别的字符，无法导出。";
    case WriteError::CannotCreate:
        return "没有在目标文件夹中写入的权限，无法创建文件。文件导出失败。";
    case WriteError::WriteFailed:
        return "文件写入失败，导出未完成，原有文件未被改动。";
    case WriteError::CannotReplace:
        return "无法替换目标文件：它不是普通文件，或在导出过程中被其他程序改动。文件导出失败。";
    case WriteError::NameTooLong:
        return "文件名太长（最多255个字节，一个汉字占3个字节），请换一个较短的文件名。文件导出失败。";
    case WriteError::IsFolder:
        return "所选的名称是一个文件夹，不是文件，请输入文件名。文件导出失败。";
    case WriteError::FolderMissing:
        return "目标文件夹不存在，请选择一个已有的文件夹。文件导出失败。";
    case WriteError::DiskFull:
        return "磁盘空间不足，文件导出失败，原有文件未被改动。";
    case WriteError::ReadOnly:
        return "目标文件（或它所在的磁盘）是只读的，不能写入，原有文件未被改动。请另选文件名或先取消只读属性。";
    case WriteError::NotVerified:
        return "导出的文件读回核对时与数据不符，导出已取消，原有文件未被改动。";
    case WriteError::PartlyWritten:
        return "写入目标文件时出错，该文件可能已不完整，请重新导出。";
    case WriteError::OutOfMemory:
        return "内存不足，文件导出失败，原有文件未被改动。";
    }
    return "文件导出失败。";
}

bool IsNumberText(std::string_view text, double* value)
{
    const auto digitsAt = [&](std::size_t i) {
        std::size_t k = i;
        while (k < text.size() && text[k] >= '0' && text[k] <= '9') ++k;
        return k - i;
    };
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = digitsAt(i);
    i += digits;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = digitsAt(i + 1);
        digits += fraction;
        i += 1 + fraction;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t exponent = digitsAt(i);
        if (exponent == 0) return false;
        i += exponent;
    }
    if (i != text.size()) return false;

    // strtod_l with the C locale reads '.' as the point whatever the
    // program's locale; it gives HUGE_VAL on overflow and a (sub)normal or
    // zero, as Excel would store it, on underflow.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const std::string copy(text);
    errno = 0;
    const double v = strtod_l(copy.c_str(), nullptr, cLocale);
    if (!std::isfinite(v) || (errno == ERANGE && std::fabs(v) > 1.0)) return false;
    if (value) *value = v;
    return true;
}

} // namespace korvanta::excel
