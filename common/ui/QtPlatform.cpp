#include "QtPlatform.h"

#include <QMessageBox>

namespace tolva {

void QtMessageSink::show(const MessageReport& report)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (report.icon) {
    case MessageIcon::None: icon = QMessageBox::NoIcon; break;
    case MessageIcon::Information: icon = QMessageBox::Information; break;
    case MessageIcon::Exclamation: icon = QMessageBox::Warning; break;
    case MessageIcon::Critical: icon = QMessageBox::Critical; break;
    case MessageIcon::Question: icon = QMessageBox::Question; break;
    }
    QMessageBox box(icon, report.title, report.text, QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace tolva
