#pragma once
// Qt's own modal dialogs answered from inside, as a user would: while
// `action` runs, every dialog that opens is handed to `answer`.

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace tolva::testing {

// The classes of the dialogs that opened, in turn. A dialog that `answer`
// leaves open is cancelled and listed as "<class> left open".
inline QStringList AnswerDialogs(const std::function<void()>& action, const std::function<void(QDialog*)>& answer)
{
    QStringList opened;
    QList<QPointer<QDialog>> handled;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || handled.contains(dialog))
            return;
        handled.append(dialog);
        const QString name = QString::fromLatin1(dialog->metaObject()->className());
        opened.append(name);
        // Answered from a turn of its own: a dialog that the answer opens in
        // turn is polled for while the answer waits on it.
        QTimer::singleShot(0, dialog, [&opened, &answer, dialog, name] {
            answer(dialog);
            if (dialog->isVisible()) {
                opened.append(name + QStringLiteral(" left open"));
                dialog->reject();
            }
        });
    });
    poll.start(0);
    action();
    return opened;
}

// Clicks the dialog's own button of that role (Ok, Cancel).
inline void Press(QDialog* dialog, QDialogButtonBox::StandardButton which)
{
    for (auto* box : dialog->findChildren<QDialogButtonBox*>())
        if (QPushButton* button = box->button(which); button && button->isVisible())
            return button->click();
}

} // namespace tolva::testing
