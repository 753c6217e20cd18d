// The edit history (undo, redo) and the questions asked before data the
// user entered are lost: a test switch that would empty them, the end of
// the program while they are neither imported nor exported.
//
// A step ends where a user's edit ends: when a text box is left (by the
// mouse, Tab, Enter or an arrow key), when the grid scrolls, and before and
// after each paste, import, reset, undo and redo. Typing a whole number
// into a cell is therefore one step, as is a paste or an import.
#pragma once

#include "app/testcaptions.h"
#include "grid/edithistory.h"
#include "grid/gridstore.h"

#include <QObject>

#include <functional>

class QAction;

namespace korvanta::ui {

class MainWindow;

class EditSession final : public QObject {
    Q_OBJECT
public:
    explicit EditSession(MainWindow& window);

    // The edit menu's items (which call Undo and Redo), enabled while there
    // is a step to undo or redo.
    void SetActions(QAction* undo, QAction* redo);
    // The window as it opens is the first state.
    void Start();
    // The window is closing: its changes are no edits any more.
    void Stop() { pausing_ = true; }
    // Records what changed since the last recorded state as one step.
    void CommitEdits();
    // Runs change as one step of its own: an edit before it is recorded
    // first, and nothing is recorded halfway through.
    void AsOneStep(const std::function<void()>& change);
    // A box was edited: its step ends when its edit does.
    void NoteEdit();
    // The data now match a file.
    void MarkSaved();

    // Data are what the user entered or imported.
    bool HasData() const;
    // A non-empty item in the column.
    bool HoldsData(grid::Column column) const;

    enum class SwitchAnswer { Keep, Clear, Cancel };
    // Whether the data are kept or emptied on the way to test mode.
    SwitchAnswer AskBeforeSwitch(TestMode mode);
    // True when the program may end: nothing unsaved, or the user said so.
    bool ConfirmExit();

public slots:
    // One step of the data (a cell's edit, a paste, an import, a reset) back
    // or forward, with the test and the rows it belongs to.
    void Undo();
    void Redo();

private:
    grid::InputTexts InputTexts() const;
    grid::EditPlace EditPlace() const;
    void RestoreEditState(grid::EditState state);
    void UpdateEditActions();

    MainWindow& window_;
    grid::EditHistory history_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    // While the window shows a state of the history, or resets itself, its
    // own changes are not edits.
    bool pausing_ = false;
    // A box was edited since the last recorded state.
    bool pendingEdit_ = false;
};

} // namespace korvanta::ui
