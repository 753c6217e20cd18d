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
    bool Run(const QString& line);
    ui::MainWindow& Window() { return *window_; }

private:
    void Click(QWidget* widget);
    void Focus(QWidget* widget);
    void Type(QWidget* widget, const QString& text);
    void Key(QWidget* widget, const QString& chord);
    void Set(QWidget* widget, const QString& text);
    void Scroll(int value);
    void Wheel(QWidget* widget, int steps);
    void Shortcut(const QString& chord);
    void Paste(QWidget* widget, const QString& text);
    void Drop(const QString& path);
    void Print(const QString& name);
    QString Value(const QString& name);
    bool ShownAnywhere(const QString& name) const;
    QWidget* Control(const QString& name);
    void Settle();

    QTextStream& out_;
    ScriptedInteraction interaction_;
    std::unique_ptr<ui::MainWindow> window_;
    bool ended_ = false;
};

} // namespace korvanta::driver
