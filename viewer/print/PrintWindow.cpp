#include "viewer/print/PrintWindow.h"

#include "viewer/print/PrintJob.h"
#include "viewer/print/frmPrint.h"

#include <QPushButton>
#include <QVariant>
#include <QWidget>

namespace tolva::print {

namespace {

const char* const kPrintWindowProperty = "tolvaPrintWindow";

} // namespace

frmPrint* ShowPrintWindow(QWidget* viewer, const QImage& picture, const Platform& platform)
{
    auto* window = viewer ? qobject_cast<frmPrint*>(viewer->property(kPrintWindowProperty).value<QObject*>()) : nullptr;
    if (!window) {
        // A window of its own, not a child: disabling the viewer must not
        // disable it.
        window = new frmPrint(platform);
        if (viewer) {
            viewer->setProperty(kPrintWindowProperty, QVariant::fromValue<QObject*>(window));
            QObject::connect(viewer, &QObject::destroyed, window, &QObject::deleteLater);
        }
    }
    window->PrintSetup(viewer, picture);
    if (viewer)
        viewer->setEnabled(false);
    if (auto* help = window->findChild<QPushButton*>(QStringLiteral("cmdHelp")))
        help->setVisible(true);
    return window;
}

frmPrint* PrintCommand(QWidget* viewer, const QImage& frame, QSize shown, const Platform& platform)
{
    const QImage picture = ClipWindow(frame, shown, platform.messages);
    if (picture.isNull())
        return nullptr;
    return ShowPrintWindow(viewer, picture, platform);
}

} // namespace tolva::print
