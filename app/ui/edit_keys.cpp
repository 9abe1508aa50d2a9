#include "app/ui/edit_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QWidget>

namespace vendrel::ui {

const char* EditKeys::actionFor(int key, Qt::KeyboardModifiers modifiers) {
    // Keypad and group-switch bits say nothing about what the user meant.
    const auto mods = modifiers & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (mods == Qt::ControlModifier) {
        switch (key) {
            case Qt::Key_X:
                return "cut";
            case Qt::Key_C:
                return "copy";
            case Qt::Key_V:
                return "paste";
            case Qt::Key_Z:
                return "undo";
            case Qt::Key_A:
                return "selectAll";
            default:
                return nullptr;
        }
    }
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_Z)
        return "redo";
    return nullptr;
}

bool EditKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const char* action = actionFor(key->key(), key->modifiers());
    QWidget* focus = QApplication::focusWidget();
    if (!action || !focus || watched != focus)
        return QObject::eventFilter(watched, event);
    const QMetaObject* meta = focus->metaObject();
    const int index = meta->indexOfMethod(QByteArray(action).append("()").constData());
    if (index < 0)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Claim the key so that no menu shortcut takes it first.
        event->accept();
        return true;
    }
    meta->method(index).invoke(focus, Qt::DirectConnection);
    return true;
}

}  // namespace vendrel::ui
