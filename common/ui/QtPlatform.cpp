#include "common/ui/QtPlatform.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QShortcut>
#include <QTextBrowser>
#include <QTime>
#include <QUrl>
#include <QVBoxLayout>

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

namespace {

QString initialPath(const FileDialogRequest& request)
{
    if (request.folder.isEmpty())
        return request.fileName;
    if (request.fileName.isEmpty())
        return request.folder;
    return QDir(request.folder).filePath(request.fileName);
}

std::optional<QString> chosen(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;  // cancelled
    return QDir::toNativeSeparators(path);
}

} // namespace

std::optional<QString> QtFileDialogs::openFile(const FileDialogRequest& request)
{
    return chosen(QFileDialog::getOpenFileName(m_parent, request.caption, initialPath(request), request.filter));
}

std::optional<QString> QtFileDialogs::saveFile(const FileDialogRequest& request)
{
    return chosen(QFileDialog::getSaveFileName(m_parent, request.caption, initialPath(request), request.filter));
}

quint32 ColorRefFromColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | quint32(rgb.green()) << 8 | quint32(rgb.blue()) << 16;
}

QColor ColorFromColorRef(quint32 colorRef)
{
    return QColor(int(colorRef & 0xff), int(colorRef >> 8 & 0xff), int(colorRef >> 16 & 0xff));
}

std::optional<quint32> QtColorDialog::chooseColor(quint32 initial)
{
    const QColor color = QColorDialog::getColor(ColorFromColorRef(initial), m_parent);
    if (!color.isValid())
        return std::nullopt;  // cancelled
    return ColorRefFromColor(color);
}

double SystemClock::secondsSinceMidnight() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

double SystemRandom::next()
{
    return QRandomGenerator::global()->generateDouble();
}

QtHelpViewer::QtHelpViewer(QString folder, QString title)
    : m_folder(std::move(folder)), m_title(std::move(title))
{
}

QtHelpViewer::~QtHelpViewer() = default;

QString QtHelpViewer::DefaultFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help"));
}

QString QtHelpViewer::TopicPage(int contextId)
{
    switch (contextId) {
    case kHelpTopicViewer: return QStringLiteral("viewer.html");
    case kHelpTopicEditor: return QStringLiteral("editor.html");
    case kHelpTopicPrinting: return QStringLiteral("printing.html");
    default: return QString();
    }
}

void QtHelpViewer::ensureWindow()
{
    if (m_window)
        return;
    m_window = std::make_unique<QWidget>(nullptr, Qt::Window);
    m_window->setObjectName(QStringLiteral("helpWindow"));
    m_window->setWindowTitle(m_title.isEmpty() ? QCoreApplication::applicationName() + QStringLiteral(" Help")
                                               : m_title);
    m_browser = new QTextBrowser(m_window.get());
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({m_folder});
    auto* layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)})
        QObject::connect(new QShortcut(key, m_window.get()), &QShortcut::activated, m_window.get(), &QWidget::close);
    m_window->resize(640, 560);
}

void QtHelpViewer::showTopic(int contextId)
{
    ensureWindow();
    const QString page = TopicPage(contextId);
    const QFileInfo file(QDir(m_folder).filePath(page));
    if (!page.isEmpty() && file.isFile() && file.isReadable()) {
        m_browser->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    } else {
        m_browser->setHtml(
            QStringLiteral("<h2>No help for this topic</h2>"
                           "<p>There is no help page for topic %1.</p>"
                           "<p>The help pages are kept in the folder <code>%2</code> beside the program; "
                           "reinstalling the program puts them back.</p>")
                .arg(contextId)
                .arg(QDir::toNativeSeparators(m_folder).toHtmlEscaped()));
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void QtHelpViewer::close()
{
    if (m_window)
        m_window->close();
}

} // namespace tolva
