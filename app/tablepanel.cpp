#include "app/tablepanel.h"

#include "app/cellmenu.h"
#include "grid/cellcleaning.h"
#include "widgetkit/widgets.h"

#include <QKeyEvent>
#include <utility>

namespace korvanta::ui {
namespace {

struct HeadTexts {
    const char* title;
    const char* heads[7];
};

// Head labels 0..6 and the title; 2, 5 and 6 are the same in both layouts.
constexpr HeadTexts kFourFoldHeads = {
    QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "计数资料卡方检验"),
    {QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "组  别"),
     QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "结     果"),
     QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "（+）           （-）"),
     QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "试验组"), QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "对照组"),
     QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "合  计"), QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "合计")}};
constexpr HeadTexts kPairedHeads = {
    QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "配对资料卡方检验"),
    {QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "治疗后"),
     QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "  治疗前  "),
     QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "（+）           （-）"),
     QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "（+）"), QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "（-）"),
     QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "合  计"), QT_TRANSLATE_NOOP("korvanta::ui::TablePanel", "合计")}};

} // namespace

TablePanel::TablePanel(QWidget* parent) : QFrame(parent)
{
    StylePanel(this, QStringLiteral("Picture8"), InputSlot());

    LabelStyle titleStyle;
    titleStyle.bold = true;
    title_ = MakeLabel(this, QStringLiteral("Label16"), tr(kFourFoldHeads.title), 1980, 240, titleStyle);

    const int headPlaces[7][2] = {{300, 840},  {2280, 600}, {1860, 960}, {300, 1500},
                                  {300, 2040}, {300, 2520}, {4920, 840}};
    for (int k = 0; k < 7; ++k)
        heads_[static_cast<std::size_t>(k)] =
            MakeLabel(this, ControlName("Label17", k), tr(kFourFoldHeads.heads[k]), headPlaces[k][0], headPlaces[k][1]);

    const int cellPlaces[4][2] = {{1440, 1440}, {2940, 1440}, {1440, 1980}, {2940, 1980}};
    for (int i = 0; i < 4; ++i) {
        auto* box = MakeTextBox(this, ControlName("Text11", i),
                                TwipsRect(cellPlaces[i][0], cellPlaces[i][1], 1275, 330), true, Bgr(0x00FF0000));
        box->setFrame(true);
        box->setFocusPolicy(Qt::ClickFocus);
        box->installEventFilter(this);
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, i](const QPoint& at) { ShowContextMenu(i, at); });
        connect(box, &QLineEdit::textChanged, this, [this, i] { OnCellChanged(i); });
        cells_[static_cast<std::size_t>(i)] = box;
    }
    // Cell a's limit is kept by the change handling, not by the box's own
    // maximum length, which would cut a pasted or assigned text silently.

    const int totalPlaces[5][3] = {
        {1320, 2520, 1515}, {2820, 2520, 1515}, {4440, 1500, 1095}, {4440, 2040, 1095}, {4440, 2520, 1095}};
    for (int k = 0; k < 5; ++k) {
        LabelStyle style;
        style.autoSize = false;
        style.widthTwips = totalPlaces[k][2];
        style.alignment = Qt::AlignCenter;
        totals_[static_cast<std::size_t>(k)] = MakeLabel(this, ControlName("Label18", k), QStringLiteral("0"),
                                                         totalPlaces[k][0], totalPlaces[k][1], style);
    }

    // Red cell grid, black full-width rules and the short rule under the
    // outcome heading.
    const QColor red = RedColour();
    for (int x : {1320, 2820, 4320}) MakeRule(this, x, 1260, x, 2340, red);
    for (int y : {1260, 1800, 2340}) MakeRule(this, 1320, y, 4320, y, red);
    MakeRule(this, 0, 540, 5715, 540, Qt::black, 2);
    MakeRule(this, 0, 2820, 5715, 2820, Qt::black, 2);
    MakeRule(this, 0, 1260, 5715, 1260, Qt::black, 1);
    MakeRule(this, 1320, 900, 4320, 900, Qt::black, 1);
}

TablePanel::Texts TablePanel::CellTexts() const
{
    Texts texts;
    for (std::size_t i = 0; i < 4; ++i) texts.cells[i] = cells_[i]->text().toStdString();
    return texts;
}

void TablePanel::SetPairedLayout(bool paired)
{
    const HeadTexts& texts = paired ? kPairedHeads : kFourFoldHeads;
    SetCaption(title_, tr(texts.title));
    for (std::size_t k = 0; k < heads_.size(); ++k) SetCaption(heads_[k], tr(texts.heads[k]));
}

void TablePanel::ClearAll()
{
    for (QLineEdit* box : cells_) box->setText(QString());
    for (QLabel* total : totals_) SetCaption(total, QString());
}

void TablePanel::SetCells(const std::array<QString, 4>& texts)
{
    const CellBatch batch(*this);
    for (std::size_t i = 0; i < cells_.size(); ++i) cells_[i]->setText(texts[i]);
    // Announced even where no text changed: the test runs on what was given.
    Announce();
}

void TablePanel::Announce()
{
    if (Dropping()) return;
    if (Gathering()) {
        changed_ = true;
        return;
    }
    emit TableChanged();
}

void TablePanel::SendGathered()
{
    if (std::exchange(changed_, false)) emit TableChanged();
}

bool TablePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            if (cells_[i] == watched) {
                emit PasteRequested(static_cast<int>(i));
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TablePanel::ShowContextMenu(int index, const QPoint& at)
{
    ShowCellMenu(cells_[static_cast<std::size_t>(index)], at, [this, index] { emit PasteRequested(index); });
}

bool TablePanel::Holds(int index, const QString& text)
{
    return index != 0 || QString::fromStdString(grid::CleanCellText(text.toStdString())).size() <= kCellALength;
}

void TablePanel::OnCellChanged(int index)
{
    if (cleaning_) return;
    const auto at = static_cast<std::size_t>(index);
    QLineEdit* box = cells_[at];
    const QString text = box->text();
    QString cleaned = QString::fromStdString(grid::CleanCellText(text.toStdString()));
    // Too long for the cell: nothing changes, and the window says so.
    const bool refused = !Holds(index, text);
    if (refused) cleaned = accepted_[at];
    if (cleaned != text) {
        cleaning_ = true;
        box->setText(cleaned);
        cleaning_ = false;
    }
    accepted_[at] = cleaned;
    if (refused) {
        box->deselect();
        box->setCursorPosition(static_cast<int>(box->text().size()));
        emit CellRefused(index, text);
        return;
    }
    box->deselect();
    box->setCursorPosition(static_cast<int>(box->text().size()));
    ShowTotals();
    Announce();
}

void TablePanel::ShowTotals()
{
    const Texts current = CellTexts();
    const stats::TableTotals totals = stats::ComputeTableTotals(current.View());
    const std::string* values[5] = {&totals.positive, &totals.negative, &totals.row1, &totals.row2, &totals.grand};
    for (std::size_t k = 0; k < totals_.size(); ++k) SetCaption(totals_[k], QString::fromStdString(*values[k]));
}

} // namespace korvanta::ui
