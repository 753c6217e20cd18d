#include "app/cellmenu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>

namespace korvanta::ui {

namespace {
// The texts of this file, for the translation.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(korvanta::ui::CellMenu)
};
} // namespace

void ShowCellMenu(QLineEdit* box, const QPoint& at, const std::function<void()>& paste)
{
    QMenu menu(box);
    const bool selected = box->hasSelectedText();
    const bool editable = !box->isReadOnly();
    // Undo is the window's, over the data, when the window offers it.
    if (QAction* undo = box->window()->findChild<QAction*>(QStringLiteral("editUndo")))
        menu.addAction(undo);
    else
        menu.addAction(Words::tr("撤消(&U)"), box, &QLineEdit::undo)->setEnabled(editable && box->isUndoAvailable());
    menu.addSeparator();
    menu.addAction(Words::tr("剪切(&T)"), box, &QLineEdit::cut)->setEnabled(editable && selected);
    menu.addAction(Words::tr("复制(&C)"), box, &QLineEdit::copy)->setEnabled(selected);
    menu.addAction(Words::tr("粘贴(&P)"), box, paste)
        ->setEnabled(editable && !QApplication::clipboard()->text().isEmpty());
    menu.addAction(Words::tr("删除(&D)"), box, [box] { box->del(); })->setEnabled(editable && selected);
    menu.addSeparator();
    menu.addAction(Words::tr("全选(&A)"), box, &QLineEdit::selectAll)->setEnabled(!box->text().isEmpty());
    menu.exec(box->mapToGlobal(at));
}

} // namespace korvanta::ui
