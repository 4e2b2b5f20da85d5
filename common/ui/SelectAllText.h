#pragma once
// Text boxes select their whole text when they get the focus, however the
// focus arrives (Tab, a click, the program), so that typing replaces the value.

#include <QObject>

class QLineEdit;
class QWidget;

namespace tolva {

class SelectAllText : public QObject {
    Q_OBJECT
public:
    // Watches `edit`; the filter belongs to the edit and goes with it.
    static void attach(QLineEdit* edit);
    // Watches every line edit inside `form`.
    static void attachAll(QWidget* form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    // Set between a focus-in by mouse and the release of that click: the line
    // edit's own mouse press puts the cursor at the click and clears the
    // selection, so the selection is made again when the click ends.
    bool m_clickFocus = false;
};

} // namespace tolva
