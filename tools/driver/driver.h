// korvanta-driver: runs the real main window on Qt's offscreen platform and
// performs a script of user actions, one per line, with real input events.
// Its commands and output format are a fixed contract for the tests and
// scripts that use it: commands are added, never changed.
#pragma once

#include "scriptedinteraction.h"

#include <QString>
#include <QTextStream>
#include <memory>
#include <stdexcept>

class QWidget;

namespace korvanta::ui {
class MainWindow;
}

namespace korvanta::driver {

// An unknown command, control or property: the run ends with status 2.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Driver {
public:
    explicit Driver(QTextStream& out);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Runs one script line; false once the program has ended ("退出").
    bool run(const QString& line);
    ui::MainWindow& window() { return *window_; }

private:
    void click(QWidget* widget);
    void focus(QWidget* widget);
    void type(QWidget* widget, const QString& text);
    void key(QWidget* widget, const QString& chord);
    void set(QWidget* widget, const QString& text);
    void scroll(int value);
    void wheel(QWidget* widget, int steps);
    void shortcut(const QString& chord);
    void paste(QWidget* widget, const QString& text);
    void drop(const QString& path);
    void print(const QString& name);
    QString value(const QString& name);
    bool shownAnywhere(const QString& name) const;
    QWidget* control(const QString& name);
    void settle();

    QTextStream& out_;
    ScriptedInteraction interaction_;
    std::unique_ptr<ui::MainWindow> window_;
    bool ended_ = false;
};

} // namespace korvanta::driver
