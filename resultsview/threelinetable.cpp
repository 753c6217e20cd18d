#include "resultsview/threelinetable.h"

namespace korvanta::ui {
namespace {

// 1.5 pt and 0.75 pt: the weights journals use for the outer and inner rules.
const QString kThick = QStringLiteral("1.5pt solid #000000");
const QString kThin = QStringLiteral("0.75pt solid #000000");

QString Esc(const QString& text) { return text.toHtmlEscaped(); }

QString CellStyle(const QString& top, const QString& bottom, bool left)
{
    QString style = QStringLiteral(
        "padding-top:2pt;padding-bottom:2pt;padding-left:8pt;padding-right:8pt;border-left:none;border-right:none;");
    style += top.isEmpty() ? QStringLiteral("border-top:none;") : QStringLiteral("border-top:%1;").arg(top);
    style += bottom.isEmpty() ? QStringLiteral("border-bottom:none;") : QStringLiteral("border-bottom:%1;").arg(bottom);
    style += left ? QStringLiteral("text-align:left;") : QStringLiteral("text-align:center;");
    return style;
}

} // namespace

QString ThreeLineTableHtml(const ThreeLineTable& table)
{
    const int columns = static_cast<int>(table.heading.size());
    QString html;
    if (!table.caption.isEmpty())
        html += QStringLiteral("<p align=\"center\" style=\"text-align:center;margin:6pt 0 3pt 0;\"><b>%1</b></p>\n")
                    .arg(Esc(table.caption));
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\" border=\"0\" align=\"center\" "
                           "style=\"border-collapse:collapse;border:none;margin:0 auto;\">\n<thead><tr>");
    for (int c = 0; c < columns; ++c)
        html += QStringLiteral("<th style=\"%1\">%2</th>")
                    .arg(CellStyle(kThick, kThin, c == 0), Esc(table.heading[static_cast<std::size_t>(c)]));
    html += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const ThreeLineTable::Row& row = table.rows[r];
        const QString bottom = r + 1 == table.rows.size() ? kThick : QString();
        html += QStringLiteral("<tr>");
        if (row.kind == ThreeLineTable::Row::Kind::Cells) {
            for (int c = 0; c < columns; ++c) {
                const QString text =
                    static_cast<std::size_t>(c) < row.cells.size() ? row.cells[static_cast<std::size_t>(c)] : QString();
                html += QStringLiteral("<td style=\"%1\">%2</td>").arg(CellStyle({}, bottom, c == 0), Esc(text));
            }
        } else {
            const QString text = row.cells.empty() ? QString() : Esc(row.cells.front());
            html += QStringLiteral("<td colspan=\"%1\" style=\"%2\">%3</td>")
                        .arg(columns)
                        .arg(CellStyle({}, bottom, true), row.kind == ThreeLineTable::Row::Kind::Section
                                                              ? QStringLiteral("<b>%1</b>").arg(text)
                                                              : QStringLiteral("<i>%1</i>").arg(text));
        }
        html += QStringLiteral("</tr>\n");
    }
    if (table.rows.empty()) {
        // A table of its heading alone still closes with the bottom rule.
        html += QStringLiteral("<tr><td colspan=\"%1\" style=\"%2\"></td></tr>\n")
                    .arg(columns)
                    .arg(CellStyle({}, kThick, true));
    }
    html += QStringLiteral("</tbody>\n</table>\n");
    if (!table.sentence.isEmpty())
        html += QStringLiteral("<p style=\"margin:4pt 0 0 0;\">%1</p>\n").arg(Esc(table.sentence));
    return html;
}

QString ThreeLineTableDocument(const ThreeLineTable& table)
{
    return QStringLiteral(
               "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n</head>\n<body>\n%1</body>\n</html>\n")
        .arg(ThreeLineTableHtml(table));
}

ThreeLineTable DetailsTable(const details::Report& report, const QString& itemHeading, const QString& valueHeading)
{
    ThreeLineTable table;
    table.caption = report.title;
    table.heading = {itemHeading, valueHeading};
    for (const details::Line& line : report.lines) {
        switch (line.kind) {
        case details::Line::Kind::Heading:
            table.rows.push_back({{line.label}, ThreeLineTable::Row::Kind::Section});
            break;
        case details::Line::Kind::Note:
            table.rows.push_back({{line.label}, ThreeLineTable::Row::Kind::Note});
            break;
        case details::Line::Kind::Figure:
            table.rows.push_back({{line.label, line.value}, ThreeLineTable::Row::Kind::Cells});
            break;
        }
    }
    table.sentence = report.sentence;
    return table;
}

ThreeLineTable JournalThreeLineTable(const results::JournalTable& journal)
{
    ThreeLineTable table;
    table.caption = QString::fromStdString(journal.title);
    for (const std::string& cell : journal.heading) table.heading.push_back(QString::fromStdString(cell));
    for (const auto& row : journal.rows) {
        ThreeLineTable::Row cells;
        for (const std::string& cell : row) cells.cells.push_back(QString::fromStdString(cell));
        table.rows.push_back(std::move(cells));
    }
    table.sentence = QString::fromStdString(journal.note);
    return table;
}

} // namespace korvanta::ui
