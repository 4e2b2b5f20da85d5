#pragma once
// The real implementations of the platform seams, on Qt Widgets.

#include "common/Platform.h"
#include "common/ui/Sounds.h"

#include <QColor>
#include <QPointer>
#include <QString>

#include <memory>

class QTextBrowser;
class QWidget;

namespace tolva {

class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QWidget* parent = nullptr) : m_parent(parent) {}
    void show(const MessageReport& report) override;
    void setParent(QWidget* parent) { m_parent = parent; }
private:
    QPointer<QWidget> m_parent;
};

// QFileDialog; the initial path is the request's folder and offered name.
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    void setParent(QWidget* parent) { m_parent = parent; }
private:
    QPointer<QWidget> m_parent;
};

// A colour reference holds red in bits 0-7, green in 8-15, blue in 16-23.
quint32 ColorRefFromColor(const QColor& color);
QColor ColorFromColorRef(quint32 colorRef);

// QColorDialog, starting from the current colour.
class QtColorDialog : public ColorDialog {
public:
    explicit QtColorDialog(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<quint32> chooseColor(quint32 initial) override;
    void setParent(QWidget* parent) { m_parent = parent; }
private:
    QPointer<QWidget> m_parent;
};

// The local time of day.
class SystemClock : public Clock {
public:
    double secondsSinceMidnight() const override;
};

// QRandomGenerator's global generator, seeded by the system.
class SystemRandom : public RandomSource {
public:
    double next() override;
};

// The program's help: HTML pages in a "help" folder beside the program, one
// per topic, shown in a small window of its own that stays open beside the
// program's window. A topic without a page shows a page that says so.
class QtHelpViewer : public HelpViewer {
public:
    explicit QtHelpViewer(QString folder = DefaultFolder(), QString title = QString());
    ~QtHelpViewer() override;

    void showTopic(int contextId) override;
    void close() override;

    // The page of a topic ("viewer.html" for 96), empty when there is none.
    static QString TopicPage(int contextId);
    static QString DefaultFolder();

    // The help window and its browser (created on the first topic), for tests.
    QWidget* window() const { return m_window.get(); }
    QTextBrowser* browser() const { return m_browser; }

private:
    void ensureWindow();

    QString m_folder;
    QString m_title;
    std::unique_ptr<QWidget> m_window;
    QTextBrowser* m_browser = nullptr;
};

// Every real seam of one program, for its main().
struct QtPlatformServices {
    QtMessageSink messages;
    SystemClock clock;
    SystemRandom random;
    CanberraSoundPlayer sounds;
    QtHelpViewer help;
    QtFileDialogs files;
    QtColorDialog colors;

    // The parent of message boxes and dialogs (the main window).
    void setDialogParent(QWidget* parent)
    {
        messages.setParent(parent);
        files.setParent(parent);
        colors.setParent(parent);
    }
    Platform platform()
    {
        return {&messages, &clock, &random, &sounds, &help, &files, &colors};
    }
};

} // namespace tolva
