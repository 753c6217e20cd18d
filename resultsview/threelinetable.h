// Tables in the three-line style Chinese journals ask for (三线表): a thick
// rule above the heading row, a thin one under it, a thick one under the
// last row, and no vertical rules. The rules are set as borders of the
// cells, which Word, WPS and LibreOffice keep when the HTML is pasted, and
// which QTextDocument draws in the report.
#pragma once

#include "results/journaltable.h"
#include "resultsview/detailstext.h"

#include <QString>

#include <vector>

namespace korvanta::ui {

struct ThreeLineTable {
    struct Row {
        std::vector<QString> cells;
        // A section heading or a note: one cell across the whole width.
        enum class Kind { Cells, Section, Note } kind = Kind::Cells;
    };
    QString caption;              // set above the table, centred
    std::vector<QString> heading; // the heading row; its size is the column count
    std::vector<Row> rows;
    QString sentence; // the journal-style sentence below the table
};

// The table as an HTML fragment (caption, <table>, sentence). The heading
// row is in <thead>, so a table that runs over a page repeats it.
QString ThreeLineTableHtml(const ThreeLineTable& table);

// The same table as a complete HTML document, as the clipboard carries it.
QString ThreeLineTableDocument(const ThreeLineTable& table);

// The detailed results as a two-column three-line table: headings become
// section rows, notes note rows, and the sentence goes below.
ThreeLineTable DetailsTable(const details::Report& report, const QString& itemHeading, const QString& valueHeading);

// The journal table: its title above, its note below.
ThreeLineTable JournalThreeLineTable(const results::JournalTable& journal);

} // namespace korvanta::ui
