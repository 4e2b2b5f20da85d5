#pragma once
// Window tests reach controls the way a user names them: by their object
// names. One finder, one reading of what a control shows and one click for
// every window's tests.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tolva::testing {

// The control named `name` in `window`; a missing one fails the test.
template <class T = QWidget>
T* Control(const QObject* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// What a control shows: a text box's or a label's text, a list's shown
// entry, a button's caption.
inline QString ShownText(const QWidget* control)
{
    if (auto* e = qobject_cast<const QLineEdit*>(control))
        return e->text();
    if (auto* l = qobject_cast<const QLabel*>(control))
        return l->text();
    if (auto* b = qobject_cast<const QComboBox*>(control))
        return b->currentText();
    if (auto* a = qobject_cast<const QAbstractButton*>(control))
        return a->text();
    return {};
}

// A user's click: option buttons and check boxes on their indicator, other
// controls in their middle.
inline void ClickLikeAUser(QWidget* control)
{
    const bool indicator = qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control);
    QTest::mouseClick(control, Qt::LeftButton, {}, indicator ? QPoint(6, control->height() / 2) : QPoint());
}

} // namespace tolva::testing
