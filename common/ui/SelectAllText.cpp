#include "common/ui/SelectAllText.h"

#include <QFocusEvent>
#include <QLineEdit>

namespace tolva {

void SelectAllText::attach(QLineEdit* edit)
{
    if (edit && !edit->findChild<SelectAllText*>(QString(), Qt::FindDirectChildrenOnly))
        edit->installEventFilter(new SelectAllText(edit));
}

void SelectAllText::attachAll(QWidget* form)
{
    if (!form)
        return;
    for (QLineEdit* edit : form->findChildren<QLineEdit*>())
        attach(edit);
}

bool SelectAllText::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        m_clickFocus = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
        edit->selectAll();
        break;
    case QEvent::MouseButtonRelease:
        // A drag during the focusing click is the user's own selection: keep it.
        if (m_clickFocus && !edit->hasSelectedText())
            edit->selectAll();
        m_clickFocus = false;
        break;
    case QEvent::FocusOut:
        m_clickFocus = false;
        break;
    default:
        break;
    }
    return false;
}

} // namespace tolva
