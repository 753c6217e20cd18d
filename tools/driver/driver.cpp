#include "driver.h"

#include "app/importdialog.h"
#include "app/mainwindow.h"
#include "app/ttablewindow.h"
#include "banner/bannerwidget.h"
#include "resultsview/detailswindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace korvanta::driver {
namespace {

QString BoolText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

// "Enter", "Shift+Down", "Ctrl+Home", a single character...
std::pair<Qt::Key, Qt::KeyboardModifiers> ParseKey(const QString& chord)
{
    static const QHash<QString, Qt::Key> names = {
        {QStringLiteral("Enter"), Qt::Key_Return},
        {QStringLiteral("Return"), Qt::Key_Return},
        {QStringLiteral("Down"), Qt::Key_Down},
        {QStringLiteral("Up"), Qt::Key_Up},
        {QStringLiteral("Left"), Qt::Key_Left},
        {QStringLiteral("Right"), Qt::Key_Right},
        {QStringLiteral("Home"), Qt::Key_Home},
        {QStringLiteral("End"), Qt::Key_End},
        {QStringLiteral("Backspace"), Qt::Key_Backspace},
        {QStringLiteral("Delete"), Qt::Key_Delete},
        {QStringLiteral("Tab"), Qt::Key_Tab},
        {QStringLiteral("Escape"), Qt::Key_Escape},
        {QStringLiteral("PageUp"), Qt::Key_PageUp},
        {QStringLiteral("PageDown"), Qt::Key_PageDown},
        {QStringLiteral("F1"), Qt::Key_F1},
    };
    Qt::KeyboardModifiers modifiers;
    QString rest = chord;
    for (;;) {
        if (rest.startsWith(QStringLiteral("Shift+")))
            modifiers |= Qt::ShiftModifier;
        else if (rest.startsWith(QStringLiteral("Ctrl+")))
            modifiers |= Qt::ControlModifier;
        else if (rest.startsWith(QStringLiteral("Alt+")))
            modifiers |= Qt::AltModifier;
        else
            break;
        rest = rest.mid(rest.indexOf(QLatin1Char('+')) + 1);
    }
    if (names.contains(rest)) return {names.value(rest), modifiers};
    if (rest.size() == 1 && rest.at(0).unicode() < 128 && rest.at(0).isPrint())
        return {static_cast<Qt::Key>(rest.at(0).toUpper().unicode()), modifiers};
    throw ScriptError("unknown key: " + chord.toStdString());
}

// The escapes of `paste NAME TEXT` and `print clipboard`, letter and
// character: \t a tab, \n a line feed, \r a carriage return, \\ a backslash.
constexpr std::pair<char16_t, char16_t> kEscapes[] = {{u't', u'\t'}, {u'n', u'\n'}, {u'r', u'\r'}, {u'\\', u'\\'}};

// The text of `paste NAME TEXT`, its escapes replaced.
QString Unescape(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\')) {
            out += text[i];
            continue;
        }
        if (++i == text.size()) throw ScriptError("a backslash ends the text: " + text.toStdString());
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [&](const auto& e) { return e.first == text[i].unicode(); });
        if (escape == std::end(kEscapes)) throw ScriptError("unknown escape \\" + QString(text[i]).toStdString());
        out += QChar(escape->second);
    }
    return out;
}

// The clipboard as `print clipboard` shows it: the escapes of Unescape.
QString Escape(const QString& text)
{
    QString out;
    for (const QChar ch : text) {
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [&](const auto& e) { return e.second == ch.unicode(); });
        if (escape == std::end(kEscapes)) {
            out += ch;
            continue;
        }
        out += QLatin1Char('\\');
        out += QChar(escape->first);
    }
    return out;
}

} // namespace

Driver::Driver(QTextStream& out) : out_(out)
{
    window_ = std::make_unique<ui::MainWindow>(interaction_);
    QObject::connect(window_.get(), &ui::MainWindow::ExitRequested, [this] { ended_ = true; });
    window_->show();
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    Settle();
}

Driver::~Driver() = default;

void Driver::Settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget* Driver::Control(const QString& name)
{
    if (name == QStringLiteral("Form1")) return window_.get();
    if (name == QStringLiteral("Form2")) {
        // Loaded by its menu item, unloaded (deleted) when closed.
        if (QWidget* form2 = window_->TTable()) return form2;
        throw ScriptError("Form2 is not open");
    }
    if (auto* found = window_->findChild<QWidget*>(name)) return found;
    if (QWidget* form2 = window_->TTable())
        if (auto* found = form2->findChild<QWidget*>(name)) return found;
    throw ScriptError("unknown control: " + name.toStdString());
}

bool Driver::Run(const QString& rawLine)
{
    if (ended_) return false;
    const QString line = rawLine.endsWith(QLatin1Char('\r')) ? rawLine.chopped(1) : rawLine;
    if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#'))) return true;
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    const QString command = space < 0 ? line : line.left(space);
    const QString rest = space < 0 ? QString() : line.mid(space + 1);
    // The first word after the command names a control; the rest is text.
    const qsizetype nameEnd = rest.indexOf(QLatin1Char(' '));
    const QString name = nameEnd < 0 ? rest : rest.left(nameEnd);
    const QString text = nameEnd < 0 ? QString() : rest.mid(nameEnd + 1);

    // `print message` and `print question` tell what the most recent action
    // showed or asked; printing and preparing answers are not actions.
    if (command != QStringLiteral("print") && !command.startsWith(QStringLiteral("answer-"))) {
        interaction_.ForgetMessage();
        interaction_.ForgetQuestion();
    }

    if (command == QStringLiteral("click")) {
        Click(Control(name));
    } else if (command == QStringLiteral("press")) {
        QTest::mousePress(Control(name), Qt::LeftButton);
    } else if (command == QStringLiteral("release")) {
        QTest::mouseRelease(Control(name), Qt::LeftButton);
    } else if (command == QStringLiteral("type")) {
        Type(Control(name), text);
    } else if (command == QStringLiteral("key")) {
        Key(Control(name), text);
    } else if (command == QStringLiteral("set")) {
        Set(Control(name), text);
    } else if (command == QStringLiteral("scroll")) {
        bool ok = false;
        const int value = rest.trimmed().toInt(&ok);
        if (!ok) throw ScriptError("scroll needs a whole number: " + rest.toStdString());
        Scroll(value);
    } else if (command == QStringLiteral("wheel")) {
        // wheel NAME STEPS: notches of the mouse wheel over NAME, positive down.
        bool ok = false;
        const int steps = text.trimmed().toInt(&ok);
        if (!ok) throw ScriptError("wheel needs a whole number of steps: " + text.toStdString());
        Wheel(Control(name), steps);
    } else if (command == QStringLiteral("menu")) {
        QAction* action = window_->FindAction(rest);
        if (!action) throw ScriptError("unknown menu item: " + rest.toStdString());
        if (action->isEnabled()) action->trigger();
    } else if (command == QStringLiteral("shortcut")) {
        Shortcut(rest.trimmed());
    } else if (command == QStringLiteral("answer-file")) {
        interaction_.AnswerNextFile(rest);
    } else if (command == QStringLiteral("answer-cancel")) {
        interaction_.AnswerNextFile(std::nullopt);
    } else if (command == QStringLiteral("answer-sheet")) {
        // answer-sheet N (the Nth sheet, from 1) or answer-sheet cancel.
        bool ok = false;
        const int number = rest.trimmed().toInt(&ok);
        if (rest.trimmed() == QStringLiteral("cancel"))
            interaction_.AnswerNextSheet(std::nullopt);
        else if (ok && number >= 1)
            interaction_.AnswerNextSheet(number - 1);
        else
            throw ScriptError("answer-sheet needs a sheet number from 1 or cancel: " + rest.toStdString());
    } else if (command == QStringLiteral("answer-import")) {
        // answer-import COL1 COL2 [heading|noheading] or answer-import cancel.
        const QStringList words = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() == 1 && words.front() == QStringLiteral("cancel")) {
            interaction_.AnswerNextImport(std::nullopt);
        } else {
            const int first = words.size() >= 2 ? ui::ColumnFromLetters(words[0]) : -1;
            const int second = words.size() >= 2 ? ui::ColumnFromLetters(words[1]) : -1;
            const bool headingWord =
                words.size() == 3 && (words[2] == QStringLiteral("heading") || words[2] == QStringLiteral("noheading"));
            if (first < 0 || second < 0 || (words.size() == 3 && !headingWord) || words.size() > 3)
                throw ScriptError("answer-import needs two column letters and heading or noheading, or cancel: " +
                                  rest.toStdString());
            ScriptedInteraction::ImportAnswer answer{first, second, std::nullopt};
            if (headingWord) answer.heading = words[2] == QStringLiteral("heading");
            interaction_.AnswerNextImport(answer);
        }
    } else if (command == QStringLiteral("answer-button")) {
        if (rest.isEmpty()) throw ScriptError("answer-button needs a button caption");
        interaction_.AnswerNextQuestion(rest);
    } else if (command == QStringLiteral("paste")) {
        Paste(Control(name), Unescape(text));
    } else if (command == QStringLiteral("copy")) {
        Key(Control(name), QStringLiteral("Ctrl+C"));
    } else if (command == QStringLiteral("drop")) {
        Drop(rest);
    } else if (command == QStringLiteral("tick")) {
        window_->Banner()->Tick();
    } else if (command == QStringLiteral("grab")) {
        // grab NAME PATH: a PNG of the control or window as drawn.
        Settle();
        if (!Control(name)->grab().save(text, "PNG")) throw ScriptError("cannot write " + text.toStdString());
    } else if (command == QStringLiteral("close")) {
        Control(name)->close();
    } else if (command == QStringLiteral("print")) {
        for (const QString& each : rest.split(QLatin1Char(' '), Qt::SkipEmptyParts)) Print(each);
        out_.flush();
    } else {
        throw ScriptError("unknown command: " + command.toStdString());
    }
    Settle();
    if (const QString refused = interaction_.TakeRefusedAnswer(); !refused.isEmpty())
        throw ScriptError("the question has no button " + refused.toStdString());
    return !ended_;
}

void Driver::Click(QWidget* widget)
{
    if (widget->objectName().startsWith(QStringLiteral("Label28("))) {
        QTest::mousePress(widget, Qt::LeftButton);
        QTest::mouseRelease(widget, Qt::LeftButton);
        return;
    }
    QTest::mouseClick(widget, Qt::LeftButton);
}

void Driver::Focus(QWidget* widget)
{
    // A user clicks into a box: at its right end, so the caret lands after
    // the text, as after every change.
    if (QApplication::activeWindow() != widget->window()) QApplication::setActiveWindow(widget->window());
    if (QApplication::focusWidget() == widget) return;
    if (qobject_cast<QLineEdit*>(widget))
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(widget->width() - 2, widget->height() / 2));
    else
        widget->setFocus(Qt::MouseFocusReason);
}

void Driver::Type(QWidget* widget, const QString& text)
{
    Focus(widget);
    for (const QChar ch : text) {
        const Qt::Key code = ch.unicode() < 128 && ch.isLetterOrNumber() ? static_cast<Qt::Key>(ch.toUpper().unicode())
                             : ch == QLatin1Char(' ')                    ? Qt::Key_Space
                                                                         : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, code, QString(ch), Qt::NoModifier);
        Settle();
    }
}

void Driver::Key(QWidget* widget, const QString& chord)
{
    const auto [code, modifiers] = ParseKey(chord);
    Focus(widget);
    QTest::keyClick(widget, code, modifiers);
}

void Driver::Set(QWidget* widget, const QString& text)
{
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        box->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else
        throw ScriptError("cannot set text of " + widget->objectName().toStdString());
}

void Driver::Scroll(int value)
{
    auto* bar = qobject_cast<QScrollBar*>(Control(QStringLiteral("VS1")));
    if (!bar->isEnabled()) return;
    // A thumb drag: the value follows the thumb while it moves.
    bar->setSliderDown(true);
    bar->setSliderPosition(value);
    bar->setSliderDown(false);
}

void Driver::Wheel(QWidget* widget, int steps)
{
    // One event per notch at the middle of the control, as a mouse sends
    // them (a notch towards the user, down, has a negative delta). A control
    // that ignores the wheel passes it to its parent, as the window system's
    // own events are passed on.
    const QPoint notch(0, steps > 0 ? -120 : 120);
    const QPoint centre = widget->rect().center();
    for (int i = 0; i < std::abs(steps); ++i) {
        for (QWidget* target = widget; target; target = target->parentWidget()) {
            const QPointF at = widget->mapTo(target, centre);
            QWheelEvent event(at, target->mapToGlobal(at), QPoint(), notch, Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &event);
            if (event.isAccepted() || target->isWindow()) break;
        }
        Settle();
    }
}

void Driver::Shortcut(const QString& chord)
{
    const QKeySequence sequence = QKeySequence::fromString(chord, QKeySequence::PortableText);
    if (sequence.isEmpty()) throw ScriptError("unknown shortcut: " + chord.toStdString());
    // The chord is pressed in the main window, which is then the active one.
    QApplication::setActiveWindow(window_.get());
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window_.get()) target = window_.get();
    const QKeyCombination combination = sequence[0];
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
}

void Driver::Paste(QWidget* widget, const QString& text)
{
    QApplication::clipboard()->setText(text);
    Key(widget, QStringLiteral("Ctrl+V"));
}

void Driver::Drop(const QString& path)
{
    // A file dragged from a file manager onto the middle of the window.
    QWidget* target = window_.get();
    const QPoint at = target->rect().center();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return;
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}

void Driver::Print(const QString& name)
{
    if (name == QStringLiteral("details")) {
        // One line per figure of the current test's detailed results.
        for (const auto& [key, figure] : window_->DetailFigures())
            out_ << QString::fromStdString(key) << '=' << QString::fromStdString(figure) << '\n';
        return;
    }
    QString shown = Value(name);
    shown.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    out_ << name << '=' << shown << '\n';
}

bool Driver::ShownAnywhere(const QString& name) const
{
    // The store's lists are no widgets; one of that name in any window of
    // the program would be what the user sees of them.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == name && top->isVisible()) return true;
        for (const QWidget* found : top->findChildren<QWidget*>(name))
            if (found->isVisible()) return true;
    }
    return false;
}

QString Driver::Value(const QString& name)
{
    const auto& store = window_->Store();
    if (name == QStringLiteral("focus")) {
        QWidget* focused = QApplication::focusWidget();
        return focused ? focused->objectName() : QString();
    }
    if (name == QStringLiteral("caret")) {
        auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return box ? QString::number(box->cursorPosition()) : QString();
    }
    if (name == QStringLiteral("message")) return interaction_.LastMessage();
    if (name == QStringLiteral("question")) return interaction_.LastQuestion();
    if (name == QStringLiteral("url")) return interaction_.LastUrl();
    if (name == QStringLiteral("clipboard")) return Escape(QApplication::clipboard()->text());
    if (name == QStringLiteral("clipboard.html")) {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        return data && data->hasHtml() ? Escape(data->html()) : QString();
    }
    if (name == QStringLiteral("sheets")) return interaction_.LastSheets().join(QLatin1Char('|'));
    if (name == QStringLiteral("cursor"))
        return window_->cursor().shape() == Qt::WaitCursor ? QStringLiteral("busy") : QStringLiteral("normal");
    if (name == QStringLiteral("FormDetails.visible")) return BoolText(window_->Details()->isVisible());
    if (name == QStringLiteral("Form2.visible")) return BoolText(window_->TTable() && window_->TTable()->isVisible());
    if (name == QStringLiteral("Form2.caption") || name == QStringLiteral("Form2"))
        return window_->TTable() ? window_->TTable()->windowTitle() : QString();
    if (name == QStringLiteral("Picture3")) return window_->Banner()->CurrentLine();
    if (name == QStringLiteral("Picture3.background"))
        return window_->Banner()->Background().name(QColor::HexRgb).toUpper();
    for (const auto& [list, column] : {std::pair{QStringLiteral("List1"), grid::Column::First},
                                       std::pair{QStringLiteral("List2"), grid::Column::Second}}) {
        if (name == list) {
            QStringList items;
            for (const std::string& item : store.Items(column)) items << QString::fromStdString(item);
            return items.join(QLatin1Char('|'));
        }
        if (name == list + QStringLiteral(".count")) return QString::number(store.Count(column));
        if (name == list + QStringLiteral(".visible")) return BoolText(ShownAnywhere(list));
    }

    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    QWidget* widget = Control(dot < 0 ? name : name.left(dot));
    const QString property = dot < 0 ? QString() : name.mid(dot + 1);
    if (property == QStringLiteral("visible")) return BoolText(widget->isVisible());
    if (property == QStringLiteral("accessibleName")) {
        // What a screen reader announces, as Qt's accessibility layer gives it.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(QAccessible::Name) : QString();
    }
    if (property == QStringLiteral("enabled")) return BoolText(widget->isEnabled());
    if (property == QStringLiteral("bold")) return BoolText(widget->font().bold());
    if (property == QStringLiteral("raised")) {
        auto* frame = qobject_cast<QFrame*>(widget);
        return BoolText(frame && frame->frameShape() != QFrame::NoFrame && frame->frameShadow() == QFrame::Raised);
    }
    if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
        if (property == QStringLiteral("value")) return QString::number(bar->value());
        if (property == QStringLiteral("max")) return QString::number(bar->maximum());
    }
    if (!property.isEmpty() && property != QStringLiteral("caption") && property != QStringLiteral("text"))
        throw ScriptError("unknown property: " + name.toStdString());
    if (auto* box = qobject_cast<QLineEdit*>(widget)) return box->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
    if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) return text->toPlainText();
    if (widget->isWindow()) return widget->windowTitle();
    throw ScriptError("no text to print for " + name.toStdString());
}

} // namespace korvanta::driver
