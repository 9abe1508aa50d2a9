// The edit keys every window shares: Control with X, C, V, Z, A sends cut, copy, paste, undo
// and select-all to the focused widget, and Control+Shift+Z redo. (Control plays the part of
// the Command key on Linux.) Caps Lock does not matter; any other modifier (Alt, Meta) passes
// the key on unchanged, and so does a key the focused widget cannot act on.
#pragma once

#include <QObject>

namespace vendrel::ui {

class EditKeys : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    // The edit action the key maps to ("cut", "copy", "paste", "undo", "redo", "selectAll"),
    // or nullptr.
    static const char* actionFor(int key, Qt::KeyboardModifiers modifiers);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace vendrel::ui
