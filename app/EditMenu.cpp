#include "EditMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace rolvik {
namespace {

QAction* MenuAfterFile(QMenuBar& menuBar) {
    const QList<QAction*> menus = menuBar.actions();
    return menus.size() > 1 ? menus.at(1) : nullptr;
}

QAction* AddItem(QMenu& menu, const QString& text, const QList<QKeySequence>& shortcuts) {
    QAction* item = menu.addAction(text);
    item->setShortcuts(shortcuts);
    item->setShortcutContext(Qt::WindowShortcut);
    item->setEnabled(false);
    return item;
}

}  // namespace

EditActions AddEditMenu(QMenuBar& menuBar) {
    auto* menu = new QMenu(QStringLiteral("&Edit"), &menuBar);
    menuBar.insertMenu(MenuAfterFile(menuBar), menu);
    EditActions actions;
    actions.undo =
        AddItem(*menu, QStringLiteral("&Undo\tCtrl-Z"), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    actions.redo = AddItem(
        *menu, QStringLiteral("&Redo\tCtrl-Y"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    return actions;
}

}  // namespace rolvik
