#include "app/importdialog.h"

#include "app/busypointer.h"
#include "app/librarytexts.h"
#include "delimited/delimitedtext.h"
#include "stats/numbertext.h"
#include "widgetkit/screenfit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
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

// Whether each column holds a number anywhere: a number cell, or a text
// the grid reads as one.
std::vector<bool> NumberColumns(const excel::ReadResult& sheet, int columns)
{
    std::vector<bool> numbers(static_cast<std::size_t>(columns), false);
    for (const excel::Row& row : sheet.rows)
        for (std::size_t c = 0; c < row.cells.size() && c < numbers.size(); ++c) {
            const excel::Cell& cell = row.cells[c];
            if (!numbers[c])
                numbers[c] = cell.kind == excel::Cell::Kind::Number ||
                             (cell.kind == excel::Cell::Kind::Text && delimited::IsNumberField(cell.text));
        }
    return numbers;
}

bool LooksLikeHeading(const excel::ReadResult& sheet)
{
    if (sheet.rows.empty()) return false;
    std::vector<std::string> texts;
    for (const excel::Cell& cell : sheet.rows.front().cells) texts.push_back(CellText(cell).toStdString());
    return delimited::LooksLikeHeading(texts);
}

// The widest row of a sheet, and at least the two columns the import takes
// (a statistics file: its variables).
int ColumnCount(const excel::ReadResult& sheet)
{
    std::size_t columns = std::max<std::size_t>(2, sheet.variables.size());
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
      note_(new QLabel(this)),
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
    note_->setObjectName(QStringLiteral("ImportNote"));
    note_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(tr("工作表："), sheets_);
    form->addRow(tr("第一组："), first_);
    form->addRow(tr("第二组："), second_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(heading_);
    layout->addWidget(note_);
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
    try {
        const BusyPointer busy(this);
        sheet_ = file_.ReadSheet(static_cast<std::size_t>(index));
    } catch (const std::bad_alloc&) {
        sheet_ = {};
        sheet_.error = excel::ReadError::OutOfMemory;
    }
    ShowSheet();
    return true;
}

bool ImportDialog::ChooseColumns(int first, int second)
{
    if (first < 0 || second < 0 || first >= first_->count() || second >= second_->count()) return false;
    // A string variable of a statistics file is shown, not offered.
    const auto& variables = sheet_.variables;
    for (const int column : {first, second})
        if (static_cast<std::size_t>(column) < variables.size() && variables[static_cast<std::size_t>(column)].text)
            return false;
    first_->setCurrentIndex(first);
    second_->setCurrentIndex(second);
    return true;
}

void ImportDialog::SetHeading(bool heading)
{
    // A statistics file has no heading row.
    if (heading_->isEnabled()) heading_->setChecked(heading);
}

int ImportDialog::FirstColumn() const { return first_->currentIndex(); }

int ImportDialog::SecondColumn() const { return second_->currentIndex(); }

bool ImportDialog::Heading() const { return heading_->isChecked(); }

// A statistics file's variable as a heading: its name, and its label
// after it.
QString ImportDialog::VariableTitle(int column) const
{
    const auto& variables = sheet_.variables;
    if (column < 0 || static_cast<std::size_t>(column) >= variables.size()) return ColumnLetters(column);
    const excel::Variable& v = variables[static_cast<std::size_t>(column)];
    const QString name = QString::fromStdString(v.name);
    return v.label.empty() ? name : name + tr("（") + QString::fromStdString(v.label) + tr("）");
}

// A cell as the preview shows it: a value with a label in the file has the
// label beside it.
QString ImportDialog::PreviewText(std::size_t column, const excel::Cell& cell) const
{
    QString text = CellText(cell);
    if (column < sheet_.variables.size() && cell.kind != excel::Cell::Kind::Empty)
        for (const auto& [value, label] : sheet_.variables[column].valueLabels)
            if (value == cell) return text + tr("（") + QString::fromStdString(label) + tr("）");
    return text;
}

QString ImportDialog::Note() const { return note_->text(); }

// A new sheet: its columns offered, A and B chosen again when both hold
// numbers, else the first columns that do. A statistics file offers its
// numeric variables (a string variable is shown, not offered) and starts
// with the first two that are not dates; it has no heading row.
void ImportDialog::ShowSheet()
{
    const int columns = sheet_.Ok() ? ColumnCount(sheet_) : 2;
    const auto& variables = sheet_.variables;
    std::vector<int> numbers;
    for (QComboBox* picker : {first_, second_}) {
        const QSignalBlocker block(picker);
        picker->clear();
        for (int c = 0; c < columns; ++c) picker->addItem(ColumnLetters(c));
        auto* model = qobject_cast<QStandardItemModel*>(picker->model());
        for (std::size_t c = 0; c < variables.size() && model; ++c)
            model->item(static_cast<int>(c))->setEnabled(!variables[c].text);
    }
    for (std::size_t c = 0; c < variables.size(); ++c)
        if (!variables[c].text && !variables[c].date) numbers.push_back(static_cast<int>(c));
    const bool statistics = !variables.empty();
    if (statistics) heading_->setChecked(false);
    heading_->setEnabled(!statistics);
    int first = 0;
    int second = 1;
    QStringList notes;
    if (statistics) {
        first = numbers.size() >= 1 ? numbers[0] : 0;
        second = numbers.size() >= 2 ? numbers[1] : std::min(1, columns - 1);
    } else if (sheet_.Ok()) {
        const std::vector<bool> withNumber = NumberColumns(sheet_, columns);
        std::vector<int> withNumbers;
        for (int c = 0; c < columns; ++c)
            if (withNumber[static_cast<std::size_t>(c)]) withNumbers.push_back(c);
        if (withNumbers.empty()) {
            notes << tr("没有一列含有数值。");
        } else if (withNumbers.size() == 1) {
            // One column of numbers: A and B stay when it is one of them.
            if (withNumbers[0] > 1) {
                first = withNumbers[0];
                second = 1;
            }
            notes << tr("只有%1列含有数值。").arg(ColumnLetters(withNumbers[0]));
        } else if (!withNumber[0] || !withNumber[1]) {
            first = withNumbers[0];
            second = withNumbers[1];
            notes << tr("A列或B列中没有数值，已改选含有数值的%1列和%2列。")
                         .arg(ColumnLetters(first), ColumnLetters(second));
        }
        if (LooksLikeHeading(sheet_)) notes << tr("第1行没有数值，像是标题；如不导入这一行，请勾选“首行为标题”。");
    }
    note_->setText(notes.join(QLatin1Char('\n')));
    note_->setVisible(!notes.isEmpty());
    first_->setCurrentIndex(first);
    second_->setCurrentIndex(second);
    problem_->setText(sheet_.Ok() ? QString() : ReadResultText(sheet_));
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
        QString header = sheet_.variables.empty() ? ColumnLetters(c) : VariableTitle(c);
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
            table_->setItem(r, static_cast<int>(c), new QTableWidgetItem(PreviewText(c, row.cells[c])));
    }
    table_->setVerticalHeaderLabels(rowNumbers);
    for (QComboBox* picker : {first_, second_}) {
        const QSignalBlocker block(picker);
        for (int c = 0; c < picker->count(); ++c) {
            if (!sheet_.variables.empty()) {
                picker->setItemText(c, VariableTitle(c));
                continue;
            }
            const QString title =
                skip && !sheet_.rows.empty() ? CellText(sheet_.rows.front()[static_cast<std::size_t>(c)]) : QString();
            picker->setItemText(c, title.isEmpty() ? ColumnLetters(c) : ColumnLetters(c) + tr("（") + title + tr("）"));
        }
    }
}

} // namespace korvanta::ui
