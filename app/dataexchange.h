// The data's way in and out of the window: import of two columns from a
// workbook, a statistics file or a text file (by the open dialog or by
// dropping the file on the window), export of the grid's two columns, or of
// the 2x2 table in the chi-square tests, and paste into the grid and the
// 2x2 table and copy of the grid's columns.
#pragma once

#include "grid/gridstore.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QMimeData;

namespace korvanta::ui {

class MainWindow;
class UserInteraction;

class DataExchange final : public QObject {
    Q_OBJECT
public:
    explicit DataExchange(MainWindow& window);

    // Imports the file at path as the import does after its dialog: the
    // name is checked, a workbook with several sheets asks which one.
    void ImportFile(const QString& path);
    // Replaces the grid's two columns as an import does: the window back at
    // row 1, the first rows shown and stored as if typed, the current test
    // recomputed once.
    void LoadColumns(std::vector<std::string> first, std::vector<std::string> second);
    // Writes the export file; true when it was written.
    bool ExportData();

public slots:
    void ImportWorkbook();
    void ExportWorkbook() { ExportData(); }
    void PasteIntoGrid(korvanta::grid::Column column, int visibleRow);
    void PasteIntoTable(int index);
    void CopyGrid();
    // Says that value does not fit into 2x2 cell index (a, b, c, d).
    void RefuseTableValue(int index, const QString& value);

private:
    // Says that `count` pasted or imported numbers such as "2,500" were kept
    // as written, their comma being read both ways in their column.
    void NoteKeptCommaNumbers(int count);

    MainWindow& window_;
    UserInteraction& interaction_;
};

// The one local file a drag carries, when it is one the import reads.
std::optional<QString> DroppedDataFile(const QMimeData* data);

} // namespace korvanta::ui
