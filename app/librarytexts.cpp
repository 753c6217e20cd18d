#include "app/librarytexts.h"

#include "stats/chisquare.h"
#include "stats/verdict.h"

#include <QCoreApplication>

#include <string>

namespace korvanta::ui {

namespace {

constexpr char kContext[] = "korvanta::ui::LibraryTexts";

// Every text the libraries show, listed for the translation; their own
// headers hold the same words (stats/verdict.h, stats/chisquare.h,
// stats/correlation.cpp, excel/workbook.cpp).
constexpr const char* kLibraryTexts[] = {
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "结果判断："),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "当n < 40或理论数(T)< 1时，不适合使用本法。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "完全正相关"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "完全负相关"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "无法打开文件，请检查文件是否存在以及是否有读取权限。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "请打开Excel文件！"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                      "不支持Excel 95及更早版本的工作簿，请在Excel中另存为新版本格式后再导入。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "该工作簿设有打开密码，无法读取。请在Excel中取消密码后再导入。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作簿已损坏，无法读取。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作簿太大，无法读取。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作簿中没有工作表。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作表的行数超过了本程序能容纳的32767行数据，未导入。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作表的列数超过了256列，未导入。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作簿无法读取。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "数据行数超过该文件格式的上限（.xls格式最多65536行），无法导出。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "有单元格的文字超过32767个字符，无法导出。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "数据太多，无法导出为.xls格式。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "数据中含有无法识别的字符，无法导出。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "没有在目标文件夹中写入的权限，无法创建文件。文件导出失败。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "文件写入失败，导出未完成，原有文件未被改动。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                      "无法替换目标文件：它不是普通文件，或在导出过程中被其他程序改动。文件导出失败。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                      "文件名太长（最多255个字节，一个汉字占3个字节），请换一个较短的文件名。文件导出失败。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "所选的名称是一个文件夹，不是文件，请输入文件名。文件导出失败。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "目标文件夹不存在，请选择一个已有的文件夹。文件导出失败。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "磁盘空间不足，文件导出失败，原有文件未被改动。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                      "目标文件（或它所在的磁盘）是只读的，不能写入，原有文件未被改动。请另选文件名或先取消只读属性。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "导出的文件读回核对时与数据不符，导出已取消，原有文件未被改动。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "写入目标文件时出错，该文件可能已不完整，请重新导出。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "内存不足，文件导出失败，原有文件未被改动。"),
    QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "文件导出失败。"),
};

static_assert(std::string_view(kLibraryTexts[0]) == stats::kVerdictHeading &&
              std::string_view(kLibraryTexts[1]) == stats::kFourFoldWarning);

} // namespace

QString LibraryText(std::string_view text)
{
    // translate() needs the text NUL-terminated.
    const std::string source(text);
    return QCoreApplication::translate(kContext, source.c_str());
}

QString ReadErrorText(excel::ReadError error) { return LibraryText(excel::ReadErrorMessage(error)); }

QString WriteResultText(const excel::WriteResult& result)
{
    // A text too long for a cell is named by its place, in the words of the
    // writer's own message.
    if (result.error == excel::WriteError::TextTooLong && result.cellChars > 0)
        return QCoreApplication::translate(
                   "korvanta::ui::LibraryTexts",
                   "第%1行第%2列的文字有%3个字符，超过了每个单元格最多%4个字符的上限，无法导出，原有文件未被改动。")
            .arg(result.cell.row + 1)
            .arg(result.cell.column + 1)
            .arg(result.cellChars)
            .arg(excel::kMaxCellChars);
    return result.message.empty() ? LibraryText(excel::WriteErrorMessage(result.error)) : LibraryText(result.message);
}

} // namespace korvanta::ui
