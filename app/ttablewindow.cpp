#include "app/ttablewindow.h"

#include "stats/ttable.h"
#include "widgetkit/accessiblenames.h"
#include "widgetkit/screenfit.h"
#include "widgetkit/twips.h"

#include <QPainter>
#include <QVBoxLayout>

namespace korvanta::ui {
namespace {

// The table's lines: data rows 4..28 (df 1 to 25) on the left, 29..53 (df 26
// to 40, 50 to 1000 and infinity) on the right.
constexpr int kFirstDataLine = 4;
constexpr int kRowsPerHalf = 25;
constexpr int kInfinityLine = kFirstDataLine + 2 * kRowsPerHalf - 1;
constexpr int kPictureWidth = 433;
constexpr int kPictureHeight = 400;

QString LineText(int line) { return QString::fromStdString(stats::GetLineText(stats::TTableText(), line)); }

// The table as drawn, at the window's designed size; the window scrolls it
// when the screen cannot show it whole.
class TTablePicture final : public QWidget {
public:
    explicit TTablePicture(QWidget* parent = nullptr) : QWidget(parent) { setFixedSize(Px(6540), Px(5805)); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace

QStringList TTableRowAsShown(int row)
{
    const int tableLine = kFirstDataLine + row;
    const QString line = LineText(tableLine);
    // The infinity row's first field is one character shorter, and the table
    // text marks it with a sign that readers know as "∞".
    const bool infinity = tableLine == kInfinityLine;
    const int shift = infinity ? 1 : 0;
    return {infinity ? QStringLiteral("∞") : line.left(7).trimmed(), line.mid(7 - shift, 5).trimmed(),
            line.mid(16 - shift, 5).trimmed(), line.mid(25 - shift, 5).trimmed()};
}

TTableWindow::TTableWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("t界值表"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    auto* area = new FormScrollArea(new TTablePicture, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    FitFormWindow(area);
    NameControls(this);
}

void TTableWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Centred each time it is loaded; a window shown again while open stays put.
    if (centred_ || !screen()) return;
    centred_ = true;
    CentreOnScreen(this);
}

void TTablePicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);

    QFont title = SongFont(12, true);
    p.setFont(title);
    // The table text's own heading, in the interface language (the same
    // words as the window's title).
    p.drawText(QRect(0, 4, kPictureWidth, 22), Qt::AlignCenter,
               TTableWindow::tr(LineText(0).trimmed().toUtf8().constData()));

    const QFont body = SongFont(9);
    p.setFont(body);
    const int top = 30;
    const int rowHeight = (kPictureHeight - top - 14) / (kRowsPerHalf + 1);
    const int halfWidth = kPictureWidth / 2;
    const int columns[4] = {8, 62, 112, 162};
    const QString heads[4] = {TTableWindow::tr("自由度"), QStringLiteral("0.05"), QStringLiteral("0.01"),
                              QStringLiteral("0.001")};

    for (int half = 0; half < 2; ++half) {
        const int x0 = half * halfWidth;
        p.setPen(Qt::black);
        for (int c = 0; c < 4; ++c)
            p.drawText(QRect(x0 + columns[c], top, 52, rowHeight), Qt::AlignLeft | Qt::AlignVCenter, heads[c]);
        p.drawLine(x0 + 4, top + rowHeight, x0 + halfWidth - 6, top + rowHeight);
        for (int row = 0; row < kRowsPerHalf; ++row) {
            const QStringList fields = TTableRowAsShown(half * kRowsPerHalf + row);
            const int y = top + rowHeight * (row + 1) + 1;
            for (int c = 0; c < 4; ++c)
                p.drawText(QRect(x0 + columns[c], y, 52, rowHeight), Qt::AlignLeft | Qt::AlignVCenter, fields[c]);
        }
        p.drawLine(x0 + 4, top + rowHeight * (kRowsPerHalf + 1) + 2, x0 + halfWidth - 6,
                   top + rowHeight * (kRowsPerHalf + 1) + 2);
    }
    p.drawLine(halfWidth, top, halfWidth, top + rowHeight * (kRowsPerHalf + 1) + 2);
}

} // namespace korvanta::ui
