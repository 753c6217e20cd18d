#include "app/importdialog.h"

#include "app/librarytexts.h"
#include "app/screenfit.h"
#include "stats/numbertext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <new>

namespace korvanta::ui {

QString ColumnLetters(int column)
{
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

int ColumnFromLetters(const QString& letters)
{
    if (letters.isEmpty() || letters.size() > 3) return -1;
    int column = 0;
    for (const QChar c : letters) {
        const QChar upper = c.toUpper();
        if (upper < u'A' || upper > u'Z') return -1;
        column = column * 26 + (upper.unicode() - u'A' + 1);
    }
    return column - 1;
}

namespace {

QString CellText(const excel::Cell& cell)
{
    static const excel::NumberFormatter general = [](double value) { return stats::GeneralNumberText(value); };
    return QString::fromStdString(excel::ImportText(cell, general));
}

// The widest row of a sheet, and at least the two columns the import takes.
int ColumnCount(const excel::ReadResult& sheet)
{
    std::size_t columns = 2;
    for (const excel::Row& row : sheet.rows) columns = std::max(columns, row.cells.size());
    return static_cast<int>(columns);
}

} // namespace

ImportDialog::ImportDialog(const excel::DataFile& file, excel::ReadResult sheet0, QWidget* parent)
    : QDialog(parent),
      file_(file),
      sheet_(std::move(sheet0)),
      sheets_(new QComboBox(this)),
      table_(new QTableWidget(this)),
      problem_(new QLabel(this)),
      first_(new QComboBox(this)),
      second_(new QComboBox(this)),
      heading_(new QCheckBox(tr("首行为标题"), this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(tr("导入数据"));
    sheets_->setObjectName(QStringLiteral("ImportSheet"));
    table_->setObjectName(QStringLiteral("ImportPreview"));
    first_->setObjectName(QStringLiteral("ImportFirst"));
    second_->setObjectName(QStringLiteral("ImportSecond"));
    heading_->setObjectName(QStringLiteral("ImportHeading"));
    buttons_->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(tr("取消"));

    for (const std::string& name : file_.SheetNames()) sheets_->addItem(QString::fromStdString(name));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    problem_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(tr("工作表："), sheets_);
    form->addRow(tr("第一组："), first_);
    form->addRow(tr("第二组："), second_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(heading_);
    layout->addWidget(table_, 1);
    layout->addWidget(problem_);
    layout->addWidget(buttons_);
    // One sheet needs no choice.
    sheets_->setVisible(sheets_->count() > 1);
    form->labelForField(sheets_)->setVisible(sheets_->count() > 1);
    // Its preview as large as the screen allows (Qt keeps a dialog inside
    // the screen's available area when it places it).
    resize(640, 520);
    FitToScreen(this);

    connect(sheets_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index != shownSheet_) ChooseSheet(index);
    });
    connect(first_, &QComboBox::currentIndexChanged, this, [this] { RefreshPreview(); });
    connect(second_, &QComboBox::currentIndexChanged, this, [this] { RefreshPreview(); });
    connect(heading_, &QCheckBox::toggled, this, [this] { RefreshPreview(); });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ShowSheet();
}

QStringList ImportDialog::SheetNames() const
{
    QStringList names;
    for (int k = 0; k < sheets_->count(); ++k) names << sheets_->itemText(k);
    return names;
}

int ImportDialog::SheetIndex() const { return shownSheet_; }

bool ImportDialog::ChooseSheet(int index)
{
    if (index < 0 || index >= sheets_->count()) return false;
    if (index == shownSheet_) return true;
    shownSheet_ = index;
    {
        const QSignalBlocker block(sheets_);
        sheets_->setCurrentIndex(index);
    }
    sheet_ = {}; // the shown sheet's memory is given back before the next is read
    setCursor(Qt::WaitCursor);
    try {
        sheet_ = file_.ReadSheet(static_cast<std::size_t>(index));
    } catch (const std::bad_alloc&) {
        sheet_ = {};
        sheet_.error = excel::ReadError::TooLarge;
        sheet_.message = QT_TRANSLATE_NOOP("korvanta::ui::LibraryTexts", "内存不足，无法读取该工作表。");
    }
    unsetCursor();
    ShowSheet();
    return true;
}

bool ImportDialog::ChooseColumns(int first, int second)
{
    if (first < 0 || second < 0 || first >= first_->count() || second >= second_->count()) return false;
    first_->setCurrentIndex(first);
    second_->setCurrentIndex(second);
    return true;
}

void ImportDialog::SetHeading(bool heading) { heading_->setChecked(heading); }

int ImportDialog::FirstColumn() const { return first_->currentIndex(); }

int ImportDialog::SecondColumn() const { return second_->currentIndex(); }

bool ImportDialog::Heading() const { return heading_->isChecked(); }

// A new sheet: its columns offered, A and B chosen again.
void ImportDialog::ShowSheet()
{
    const int columns = sheet_.Ok() ? ColumnCount(sheet_) : 2;
    for (QComboBox* picker : {first_, second_}) {
        const QSignalBlocker block(picker);
        picker->clear();
        for (int c = 0; c < columns; ++c) picker->addItem(ColumnLetters(c));
    }
    first_->setCurrentIndex(0);
    second_->setCurrentIndex(1);
    problem_->setText(sheet_.Ok() ? QString() : LibraryText(sheet_.message));
    problem_->setVisible(!sheet_.Ok());
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(sheet_.Ok());
    RefreshPreview();
}

// The rows OK would import, from the first, under their column letters;
// the two chosen columns are marked in the header, and with a heading
// their pickers show its texts.
void ImportDialog::RefreshPreview()
{
    const int columns = first_->count();
    const std::size_t skip = heading_->isChecked() ? 1 : 0;
    const std::size_t available = sheet_.rows.size() > skip ? sheet_.rows.size() - skip : 0;
    const int rows = static_cast<int>(std::min<std::size_t>(available, kPreviewRows));
    table_->clear();
    table_->setColumnCount(columns);
    table_->setRowCount(rows);
    QStringList headers;
    for (int c = 0; c < columns; ++c) {
        QString header = ColumnLetters(c);
        if (c == first_->currentIndex()) header += tr(" 第一组");
        if (c == second_->currentIndex()) header += tr(" 第二组");
        headers << header;
    }
    table_->setHorizontalHeaderLabels(headers);
    QStringList rowNumbers;
    for (int r = 0; r < rows; ++r) {
        const excel::Row& row = sheet_.rows[skip + static_cast<std::size_t>(r)];
        rowNumbers << QString::number(static_cast<int>(skip) + r + 1);
        for (std::size_t c = 0; c < row.cells.size(); ++c)
            table_->setItem(r, static_cast<int>(c), new QTableWidgetItem(CellText(row.cells[c])));
    }
    table_->setVerticalHeaderLabels(rowNumbers);
    for (QComboBox* picker : {first_, second_}) {
        const QSignalBlocker block(picker);
        for (int c = 0; c < picker->count(); ++c) {
            const QString title =
                skip && !sheet_.rows.empty() ? CellText(sheet_.rows.front()[static_cast<std::size_t>(c)]) : QString();
            picker->setItemText(c, title.isEmpty() ? ColumnLetters(c) : ColumnLetters(c) + tr("（") + title + tr("）"));
        }
    }
}

} // namespace korvanta::ui
