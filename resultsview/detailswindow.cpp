#include "resultsview/detailswindow.h"

#include "resultsview/powerpanel.h"
#include "resultsview/threelinetable.h"
#include "widgetkit/screenfit.h"
#include "widgetkit/twips.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace korvanta::ui {

namespace {

// A group's name, typed or an imported heading, is kept to this length.
constexpr int kGroupNameLength = 40;

// The table never shows fewer rows than this; the sections scroll instead.
constexpr int kMinimumTableRows = 8;

// The height of a table showing `rows` rows of one line under its header.
int RowsHeight(const QTableWidget* table, int rows)
{
    return table->horizontalHeader()->sizeHint().height() + rows * table->verticalHeader()->defaultSectionSize() +
           2 * table->frameWidth();
}

} // namespace

DetailsWindow::DetailsWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormDetails"));
    setWindowTitle(tr("详细结果"));
    setFont(SongFont(9));
    resize(Px(7200), Px(9600));

    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("DetailsTitle"));
    title_->setFont(SongFont(10.5, true));

    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName(QStringLiteral("DetailsTable"));
    table_->setHorizontalHeaderLabels({tr("项目"), tr("结果")});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table_->setWordWrap(true);

    // The groups' names, used in the figures, the copies, the plot and the
    // report; a box left empty or at its default keeps the usual wording.
    auto* names = new QHBoxLayout;
    auto* namesCaption = new QLabel(tr("组名："), this);
    namesCaption->setObjectName(QStringLiteral("GroupNamesCaption"));
    names->addWidget(namesCaption);
    for (int g = 0; g < 2; ++g) {
        auto* box = new QLineEdit(details::DefaultGroupName(g), this);
        box->setObjectName(QStringLiteral("GroupName%1").arg(g + 1));
        box->setMaxLength(kGroupNameLength);
        box->setToolTip(tr("第%1列数据的组名，用于详细结果、复制的结果、统计图和报告").arg(g + 1));
        box->setAccessibleName(tr("%1的组名").arg(details::DefaultGroupName(g)));
        connect(box, &QLineEdit::textChanged, this, &DetailsWindow::GroupNamesChanged);
        names->addWidget(box);
        groupNames_[static_cast<std::size_t>(g)] = box;
    }
    names->addStretch();

    sentence_ = new QLabel(this);
    sentence_->setObjectName(QStringLiteral("DetailsSentence"));
    sentence_->setWordWrap(true);
    sentence_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    copy_ = new QPushButton(tr("复制结果"), this);
    copy_->setObjectName(QStringLiteral("CopyDetails"));
    copy_->setToolTip(tr("复制论文格式的结果句和结果表"));
    connect(copy_, &QPushButton::clicked, this, &DetailsWindow::CopyToClipboard);
    journal_ = new QPushButton(tr("复制三线表"), this);
    journal_->setObjectName(QStringLiteral("CopyJournalTable"));
    journal_->setToolTip(tr("复制期刊格式的三线表：各组例数、均数 ± 标准差、统计量与P值"));
    connect(journal_, &QPushButton::clicked, this, &DetailsWindow::JournalTableRequested);
    auto* close = new QPushButton(tr("关闭"), this);
    close->setObjectName(QStringLiteral("CloseDetails"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(journal_);
    buttons->addWidget(copy_);
    buttons->addWidget(close);

    // The sections scroll together rather than shrink: on a small or scaled
    // screen the table keeps its rows and the buttons stay in view below.
    auto* sectionsWidget = new QWidget;
    sections_ = new QVBoxLayout(sectionsWidget);
    sections_->setContentsMargins(0, 0, 0, 0);
    sections_->addWidget(title_);
    sections_->addLayout(names);
    sections_->addWidget(table_, 1);
    sections_->addWidget(sentence_);
    power_ = new PowerPanel(sectionsWidget);
    sections_->addWidget(power_);
    table_->setMinimumHeight(RowsHeight(table_, kMinimumTableRows));
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidget(sectionsWidget);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll_, 1);
    layout->addLayout(buttons);
    // The table keeps its room beside the power section.
    resize(width(), height() + power_->sizeHint().height());
    WidenToSections();
    FitToScreen(this);
}

void DetailsWindow::WidenToSections()
{
    // Wide enough for the widest section and the buttons (English captions
    // are longer than Chinese ones), so that no horizontal scroll bar is
    // needed where the screen has the room.
    const QMargins margins = layout()->contentsMargins();
    const int sections = scroll_->widget()->minimumSizeHint().width() +
                         scroll_->verticalScrollBar()->sizeHint().width() + 2 * scroll_->frameWidth();
    const int buttons = layout()->itemAt(1)->minimumSize().width();
    const int needed = std::max(sections, buttons) + margins.left() + margins.right();
    if (needed > width()) resize(needed, height());
}

void DetailsWindow::AddPanel(QWidget* panel)
{
    panel->setParent(sections_->parentWidget());
    sections_->addWidget(panel, 1);
    // Taller by the panel, as far as the screen allows: the sections scroll
    // beyond that.
    resize(width(), height() + panel->sizeHint().height());
    WidenToSections();
    FitToScreen(this);
}

void DetailsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // It may open on another screen than the one it was made for.
    FitToScreen(this);
    KeepOnScreen(this);
}

void DetailsWindow::ShowFigures(stats::TestMode mode, const stats::DetailsInput& input)
{
    const bool newMode = mode != mode_;
    mode_ = mode;
    report_ = details::BuildReport(mode, input, GroupNames());
    title_->setText(report_.title.isEmpty() ? QString() : report_.title + tr(" — 详细结果"));
    sentence_->setText(report_.sentence);

    table_->clearSpans();
    table_->setRowCount(static_cast<int>(report_.lines.size()));
    QFont bold = font();
    bold.setBold(true);
    for (int row = 0; row < table_->rowCount(); ++row) {
        const details::Line& line = report_.lines[static_cast<std::size_t>(row)];
        auto* label = new QTableWidgetItem(line.label);
        auto* value = new QTableWidgetItem(line.value);
        if (line.kind != details::Line::Kind::Figure) {
            // Headings and notes run across both columns.
            table_->setSpan(row, 0, 1, 2);
            if (line.kind == details::Line::Kind::Heading)
                label->setFont(bold);
            else
                label->setForeground(Qt::red);
        }
        table_->setItem(row, 0, label);
        table_->setItem(row, 1, value);
    }
    table_->resizeRowsToContents();
    table_->setCurrentItem(nullptr);
    copy_->setEnabled(!report_.lines.empty());
    journal_->setEnabled(!report_.lines.empty());
    power_->ShowData(mode, input);
    // Another test lays out other fields in the power section.
    if (newMode) WidenToSections();
}

details::Report DetailsWindow::ReportWithPower() const
{
    details::Report whole = report_;
    if (whole.lines.empty()) return whole;
    const std::vector<details::Line> power = power_->Lines();
    whole.lines.insert(whole.lines.end(), power.begin(), power.end());
    return whole;
}

details::GroupNames DetailsWindow::GroupNames() const
{
    details::GroupNames names;
    for (int g = 0; g < 2; ++g) {
        const QString given = groupNames_[static_cast<std::size_t>(g)]->text().trimmed();
        (g == 0 ? names.first : names.second) = given == details::DefaultGroupName(g) ? QString() : given;
    }
    return names;
}

void DetailsWindow::SetImportedNames(const QString& first, const QString& second)
{
    const QString names[2] = {first, second};
    for (std::size_t g = 0; g < 2; ++g)
        if (!names[g].isEmpty()) groupNames_[g]->setText(names[g].left(kGroupNameLength));
}

QString DetailsWindow::ClipboardText() const
{
    QString text = report_.sentence;
    if (!text.isEmpty()) text += QStringLiteral("\n\n");
    return text + details::PlainTable(ReportWithPower());
}

QString DetailsWindow::ClipboardHtml() const
{
    return ThreeLineTableDocument(DetailsTable(ReportWithPower(), table_->horizontalHeaderItem(0)->text(),
                                               table_->horizontalHeaderItem(1)->text()));
}

void DetailsWindow::CopyToClipboard()
{
    if (report_.lines.empty()) return;
    // Word processors take the HTML flavour as a three-line table; plain
    // editors take the text.
    auto mime = std::make_unique<QMimeData>();
    mime->setText(ClipboardText());
    mime->setHtml(ClipboardHtml());
    QApplication::clipboard()->setMimeData(mime.release());
}

} // namespace korvanta::ui
