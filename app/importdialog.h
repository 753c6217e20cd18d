// "导入数据": the preview shown after a workbook or text file is read. It
// shows the chosen sheet (a selector when the file has several), its first
// rows under their column letters, the two columns that become 第一组 and
// 第二组 and whether row 1 is a heading to leave out (not ticked when it
// opens, so that row 1 is imported, for every format). It opens on columns
// A and B when both hold numbers, else on the first columns that do, and
// says so; it says too when row 1 looks like a heading. A statistics
// package's file shows its variables' names and labels as the headings,
// offers its numeric variables, shows value labels beside the values and
// has no heading row to leave out. OK imports what it shows; 取消 changes
// nothing.
#pragma once

#include "excel/sheets.h"
#include "excel/workbook.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QTableWidget;

namespace korvanta::ui {

// Column letters as a spreadsheet shows them: 0 is "A", 26 is "AA".
QString ColumnLetters(int column);
// The column a text of letters names, or -1.
int ColumnFromLetters(const QString& letters);

class ImportDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPreviewRows = 20;

    // sheet0 is the file's first sheet, already read.
    ImportDialog(const excel::DataFile& file, excel::ReadResult sheet0, QWidget* parent = nullptr);

    QStringList SheetNames() const;
    // The steps a user takes in the dialog; false when there is no such
    // sheet or column.
    bool ChooseSheet(int index);
    bool ChooseColumns(int first, int second);
    void SetHeading(bool heading);

    // What OK imports: the shown sheet (Ok() false when it could not be
    // read), the two columns and whether row 1 is left out.
    const excel::ReadResult& Sheet() const { return sheet_; }
    int FirstColumn() const;
    int SecondColumn() const;
    bool Heading() const;
    // What the preview points out about the shown sheet (the columns it
    // opened on, a heading in row 1); empty when nothing.
    QString Note() const;

private:
    void ShowSheet();
    void RefreshPreview();
    QString VariableTitle(int column) const;
    QString PreviewText(std::size_t column, const excel::Cell& cell) const;

    const excel::DataFile& file_;
    excel::ReadResult sheet_;
    int shownSheet_ = 0;
    QComboBox* sheets_;
    QTableWidget* table_;
    QLabel* problem_;
    QLabel* note_;
    QComboBox* first_;
    QComboBox* second_;
    QCheckBox* heading_;
    QDialogButtonBox* buttons_;
};

} // namespace korvanta::ui
