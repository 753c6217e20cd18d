#include "app/librarytexts.h"

#include <QCoreApplication>

namespace korvanta::ui {

namespace {

// QT_TRANSLATE_NOOP marks each text for the translation file.
QString Text(const char* source) { return QCoreApplication::translate("korvanta::ui::LibraryTexts", source); }

} // namespace

QString ReadErrorText(excel::ReadError error)
{
    switch (error) {
    case excel::ReadError::None:
        return {};
    case excel::ReadError::CannotOpen:
        return Text(
            QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "无法打开文件，请检查文件是否存在以及是否有读取权限。"));
    case excel::ReadError::NotWorkbook:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "请打开Excel文件！"));
    case excel::ReadError::OldFormat:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "不支持Excel 95及更早版本的工作簿，请在Excel中另存为新版本格式后再导入。"));
    case excel::ReadError::Encrypted:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "该工作簿设有打开密码，无法读取。请在Excel中取消密码后再导入。"));
    case excel::ReadError::Corrupt:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作簿已损坏，无法读取。"));
    case excel::ReadError::TooLarge:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作簿太大，无法读取。"));
    case excel::ReadError::NoWorksheet:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作簿中没有工作表。"));
    case excel::ReadError::TooManyRows:
        return Text(
            QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作表的行数超过了本程序能容纳的32767行数据，未导入。"));
    case excel::ReadError::TooManyColumns:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作表的列数超过了256列，未导入。"));
    case excel::ReadError::OutOfMemory:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "内存不足，无法读取该工作表。"));
    case excel::ReadError::Count:
        break;
    }
    return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "工作簿无法读取。"));
}

QString WriteErrorText(excel::WriteError error)
{
    switch (error) {
    case excel::WriteError::None:
        return {};
    case excel::WriteError::TooManyRows:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "数据行数超过该文件格式的上限（.xls格式最多65536行），无法导出。"));
    case excel::WriteError::TextTooLong:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "有单元格的文字超过32767个字符，无法导出。"));
    case excel::WriteError::TooLarge:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "数据太多，无法导出为.xls格式。"));
    case excel::WriteError::InvalidText:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "数据中含有无法识别的字符，无法导出。"));
    case excel::WriteError::CannotCreate:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "没有在目标文件夹中写入的权限，无法创建文件。文件导出失败。"));
    case excel::WriteError::WriteFailed:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "文件写入失败，导出未完成，原有文件未被改动。"));
    case excel::WriteError::CannotReplace:
        return Text(
            QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                              "无法替换目标文件：它不是普通文件，或在导出过程中被其他程序改动。文件导出失败。"));
    case excel::WriteError::NameTooLong:
        return Text(
            QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                              "文件名太长（最多255个字节，一个汉字占3个字节），请换一个较短的文件名。文件导出失败。"));
    case excel::WriteError::IsFolder:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "所选的名称是一个文件夹，不是文件，请输入文件名。文件导出失败。"));
    case excel::WriteError::FolderMissing:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "目标文件夹不存在，请选择一个已有的文件夹。文件导出失败。"));
    case excel::WriteError::DiskFull:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "磁盘空间不足，文件导出失败，原有文件未被改动。"));
    case excel::WriteError::ReadOnly:
        return Text(QT_TRANSLATE_NOOP(
            "korvanta::ui::LibraryTexts",
            "目标文件（或它所在的磁盘）是只读的，不能写入，原有文件未被改动。请另选文件名或先取消只读属性。"));
    case excel::WriteError::NotVerified:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "导出的文件读回核对时与数据不符，导出已取消，原有文件未被改动。"));
    case excel::WriteError::PartlyWritten:
        return Text(
            QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "写入目标文件时出错，该文件可能已不完整，请重新导出。"));
    case excel::WriteError::OutOfMemory:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "内存不足，文件导出失败，原有文件未被改动。"));
    case excel::WriteError::Count:
        break;
    }
    return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "文件导出失败。"));
}

QString TextFaultText(const delimited::TextFault& fault)
{
    switch (fault.problem) {
    case delimited::TextProblem::None:
    case delimited::TextProblem::Count:
        break;
    case delimited::TextProblem::TooManyRows:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "数据的行数超过了本程序能容纳的32767行。"));
    case delimited::TextProblem::TooManyColumns:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "第%1行第%2列还有数据，超过了%3列的上限。"))
            .arg(fault.line)
            .arg(fault.column)
            .arg(fault.limit);
    case delimited::TextProblem::TooManyCells:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "数据超过了%1个单元格的上限。")).arg(fault.limit);
    case delimited::TextProblem::TooMuchText:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "文字太多（超过%1 MB）。")).arg(fault.limit >> 20);
    case delimited::TextProblem::CellTooLong:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "第%1行第%2列的文字超过了每个单元格最多%3个字符的上限。"))
            .arg(fault.line)
            .arg(fault.column)
            .arg(fault.limit);
    case delimited::TextProblem::UnclosedQuote:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "第%1行的引号（\"）没有结束，其后的全部内容会并入一个单元格。请检查该行。"))
            .arg(fault.line);
    case delimited::TextProblem::Utf16WithoutMark:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "该文件是没有字节顺序标记（BOM）的UTF-16文本，无法确定其编码。"
                                      "请在记事本或Excel中另存为UTF-8或“Unicode文本”后再导入。"));
    case delimited::TextProblem::NulCharacter:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "第%1行含有空字符（NUL），这不是普通的文本文件。"))
            .arg(fault.line);
    case delimited::TextProblem::CutCharacter:
        return Text(
            QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "文件末尾的字符不完整，文件可能没有保存完整或被截断。"));
    case delimited::TextProblem::UnknownEncoding:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "第%1行含有无法识别的字符：该文件不是UTF-8、GB18030或UTF-16编码的文本。"))
            .arg(fault.line);
    case delimited::TextProblem::Blank:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "文件中没有任何数据，只有空白。"));
    case delimited::TextProblem::NoNumbers:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "文件中没有任何数值，不是数据文件。"));
    }
    return {};
}

QString ReadResultText(const excel::ReadResult& result)
{
    if (result.textFault.problem != delimited::TextProblem::None)
        return TextFaultText(result.textFault) + Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "未导入。"));
    return ReadErrorText(result.error);
}

QString WriteResultText(const excel::WriteResult& result)
{
    if (result.error == excel::WriteError::TextTooLong && result.cellChars > 0)
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts",
                                      "第%1行第%2列的文字有%3个字符，超过了每个单元格最多%4个字符的上限，"
                                      "无法导出，原有文件未被改动。"))
            .arg(result.cell.row + 1)
            .arg(result.cell.column + 1)
            .arg(result.cellChars)
            .arg(excel::kMaxCellChars);
    return WriteErrorText(result.error);
}

QString VerdictText(stats::Verdict verdict)
{
    switch (verdict) {
    case stats::Verdict::None:
    case stats::Verdict::Count:
        break;
    case stats::Verdict::PAbove005:
    case stats::Verdict::PBelow005:
    case stats::Verdict::PBelow001:
    case stats::Verdict::PBelow0001:
        return QString::fromUtf8(stats::PBandText(verdict));
    case stats::Verdict::NotSuitable:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "当n < 40或理论数(T)< 1时，不适合使用本法。"));
    case stats::Verdict::PerfectPositive:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "完全正相关"));
    case stats::Verdict::PerfectNegative:
        return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "完全负相关"));
    }
    return {};
}

QString VerdictHeading() { return Text(QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "结果判断：")); }

} // namespace korvanta::ui
