#include "widgetkit/accessiblenames.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <limits>

namespace korvanta::ui {
namespace {

// Containers and pictures say nothing themselves: their job, by control name.
QString Job(const QString& objectName)
{
    static const QHash<QString, const char*> jobs = {
        {QStringLiteral("Form1"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "Korvanta 医学统计计算器")},
        {QStringLiteral("client"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "主窗口")},
        {QStringLiteral("Frame1"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "工具栏")},
        {QStringLiteral("Frame2"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "检验方法")},
        {QStringLiteral("Frame3"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "当前检验")},
        {QStringLiteral("Frame4"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "计算器")},
        {QStringLiteral("Picture1"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "工具栏")},
        {QStringLiteral("Picture2"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "数据表格")},
        {QStringLiteral("Picture3"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "横幅（点击访问主页）")},
        {QStringLiteral("Picture4"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "两样本均数t检验结果")},
        {QStringLiteral("Picture6"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "配对资料t检验结果")},
        {QStringLiteral("Picture7"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "直线相关与回归结果")},
        {QStringLiteral("Picture8"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "四格表")},
        {QStringLiteral("Picture9"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "计数资料卡方检验结果")},
        {QStringLiteral("Picture11"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "配对资料卡方检验结果")},
        {QStringLiteral("Picture14"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "工具栏按钮")},
        {QStringLiteral("Image7"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "图标")},
        {QStringLiteral("VS1"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "数据表格滚动条")},
        {QStringLiteral("Text14"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "t界值表")},
        {QStringLiteral("DetailsTable"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "详细结果表")},
        {QStringLiteral("DetailsSentence"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "论文格式的结果句")},
        {QStringLiteral("Label18"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "合计")},
        {QStringLiteral("PlotPanel"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "统计图")},
        {QStringLiteral("PlotView"), QT_TRANSLATE_NOOP("korvanta::ui::AccessibleNames", "统计图")},
    };
    const QString base = objectName.section(QLatin1Char('('), 0, 0);
    const auto found = jobs.constFind(objectName);
    if (found != jobs.constEnd()) return QCoreApplication::translate("korvanta::ui::AccessibleNames", found.value());
    const auto byBase = jobs.constFind(base);
    return byBase != jobs.constEnd() ? QCoreApplication::translate("korvanta::ui::AccessibleNames", byBase.value())
                                     : QString();
}

// The text a control shows of itself.
QString OwnCaption(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text().remove(QLatin1Char('&'));
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
    if (widget->isWindow()) return widget->windowTitle();
    return {};
}

// What a sibling reads as a caption: a label's text, or the name a symbol
// drawn of several pieces was given.
QString Caption(const QWidget* sibling)
{
    if (const auto* label = qobject_cast<const QLabel*>(sibling)) return label->text();
    // Other controls are named after their captions, not captions themselves.
    if (qobject_cast<const QLineEdit*>(sibling) || qobject_cast<const QAbstractButton*>(sibling)) return {};
    return sibling->accessibleName();
}

// The nearest label with text in the same parent: on the same line to the
// left, else above in the same column (a heading).
QString CaptionBeside(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    if (!parent) return {};
    const QRect box = widget->geometry();
    QString best;
    int bestDistance = std::numeric_limits<int>::max();
    for (const QWidget* sibling : parent->findChildren<const QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QString caption = Caption(sibling);
        if (sibling == widget || caption.trimmed().isEmpty()) continue;
        const QRect at = sibling->geometry();
        // A symbol's box may reach under the value it names: what starts to
        // the left counts.
        const bool sameLine = at.top() < box.bottom() && at.bottom() > box.top() && at.left() < box.left();
        const bool above = at.bottom() <= box.top() + 2 && at.left() < box.right() && at.right() > box.left();
        if (!sameLine && !above) continue;
        // Beside counts before above.
        const int distance = sameLine ? box.left() - at.left() : 100000 + box.top() - at.bottom();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = caption;
        }
    }
    return best;
}

// Failing a caption beside or above: the nearest label with text in the
// same parent (a toolbar item's caption under its mouse area).
QString NearestCaption(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    if (!parent) return {};
    const QPoint centre = widget->geometry().center();
    QString best;
    int bestDistance = std::numeric_limits<int>::max();
    for (const QLabel* label : parent->findChildren<const QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label == widget || label->text().trimmed().isEmpty()) continue;
        const int distance = (label->geometry().center() - centre).manhattanLength();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = label->text();
        }
    }
    return best;
}

} // namespace

void NameControls(QWidget* window)
{
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        const QString objectName = widget->objectName();
        if (objectName.isEmpty() || objectName.startsWith(QStringLiteral("qt_")) || !widget->accessibleName().isEmpty())
            continue;
        QString name = Job(objectName);
        if (name.isEmpty() && !OwnCaption(widget).trimmed().isEmpty()) continue;
        if (name.isEmpty()) name = CaptionBeside(widget);
        if (name.isEmpty()) name = widget->toolTip();
        if (name.isEmpty()) name = NearestCaption(widget);
        widget->setAccessibleName(name.trimmed());
    }
}

} // namespace korvanta::ui
