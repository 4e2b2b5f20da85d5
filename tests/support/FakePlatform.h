#pragma once
// Scripted stand-ins for the platform seams: they record what the program
// would have shown and answer dialogs from a script.

#include "common/Platform.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <deque>

namespace tolva::testing {

struct RecordingMessages : MessageSink {
    void show(const MessageReport& report) override { reports.append(report); }
    QList<MessageReport> reports;
};

struct FixedClock : Clock {
    double secondsSinceMidnight() const override { return seconds; }
    double seconds = 0.0;
};

// Returns the scripted values in turn, then repeats the last one.
struct SequenceRandom : RandomSource {
    explicit SequenceRandom(std::deque<double> values = {0.5}) : m_values(std::move(values)) {}
    double next() override
    {
        double v = m_values.front();
        if (m_values.size() > 1)
            m_values.pop_front();
        return v;
    }
private:
    std::deque<double> m_values;
};

struct RecordingSounds : SoundPlayer {
    void play(const QString& name) override { played.append(name); }
    QStringList played;
};

struct RecordingHelp : HelpViewer {
    void showTopic(int contextId) override { topics.append(contextId); }
    void close() override { ++closes; }
    QList<int> topics;
    int closes = 0;
};

// Answers each dialog with the next scripted answer; nothing means "cancelled".
struct ScriptedFileDialogs : FileDialogs {
    std::optional<QString> openFile(const FileDialogRequest& request) override { return answer(request); }
    std::optional<QString> saveFile(const FileDialogRequest& request) override { return answer(request); }
    std::deque<std::optional<QString>> answers;
    QList<FileDialogRequest> requests;
private:
    std::optional<QString> answer(const FileDialogRequest& request)
    {
        requests.append(request);
        if (answers.empty())
            return std::nullopt;
        std::optional<QString> next = std::move(answers.front());
        answers.pop_front();
        return next;
    }
};

struct ScriptedColors : ColorDialog {
    std::optional<quint32> chooseColor(quint32) override { return answer; }
    std::optional<quint32> answer;
};

// A printer that answers dialogs from a script and records the document
// calls, one line each: "StartDoc <name>|<file>", "StartPage",
// "DrawPicture <left> <top> <width> <height> <picture width>x<height>",
// "EndPage", "EndDoc". `failAt` makes the call of that name (or
// "ShowDialog") fail once with `failure`.
struct ScriptedPrinter : PrinterService {
    QString name = QStringLiteral("Scripted Printer");
    // US Letter, a quarter inch unprintable on every side.
    int paperWidth = 12240, paperHeight = 15840, offset = 360, orient = 1;

    QString deviceName() const override { return name; }
    int pageWidth() const override { return orient == 2 ? paperHeight : paperWidth; }
    int pageHeight() const override { return orient == 2 ? paperWidth : paperHeight; }
    int offsetLeft() const override { return offset; }
    int offsetTop() const override { return offset; }
    int printableWidth() const override { return pageWidth() - 2 * offset; }
    int printableHeight() const override { return pageHeight() - 2 * offset; }
    int orientation() const override { return orient; }
    void setOrientation(int orientation) override { orient = orientation; }

    bool showDialog(Dialog dialog) override
    {
        dialogs.append(dialog == Dialog::Setup ? QStringLiteral("Setup") : QStringLiteral("Print"));
        offeredFastPrint.append(fast);
        error.clear();
        if (failAt == QLatin1String("ShowDialog")) {
            failAt.clear();
            error = failure;
            return false;
        }
        if (dialog == Dialog::Print)
            fast = answerFastPrint;
        return accept;
    }
    bool fastPrint() const override { return fast; }
    void setFastPrint(bool value) override { fast = value; }
    bool printToFile() const override { return toFile; }
    int copies() const override { return copyCount; }

    bool startDoc(const QString& documentName, const QString& outputFile) override
    {
        return record(QStringLiteral("StartDoc"), QStringLiteral("StartDoc %1|%2").arg(documentName, outputFile));
    }
    bool startPage() override { return record(QStringLiteral("StartPage"), QStringLiteral("StartPage")); }
    bool drawPicture(const QImage& picture, int left, int top, int width, int height) override
    {
        return record(QStringLiteral("DrawPicture"), QString::asprintf("DrawPicture %d %d %d %d %dx%d", left, top,
                                                                       width, height, picture.width(), picture.height()));
    }
    bool endPage() override { return record(QStringLiteral("EndPage"), QStringLiteral("EndPage")); }
    bool endDoc() override { return record(QStringLiteral("EndDoc"), QStringLiteral("EndDoc")); }
    QString errorText() const override { return error; }

    // The script.
    bool accept = true, answerFastPrint = true, toFile = false;
    int copyCount = 1;
    QString failAt;
    QString failure = QStringLiteral("Out of paper.");

    // What happened.
    QStringList dialogs, calls;
    QList<bool> offeredFastPrint;
    QString error;
    bool fast = true;

private:
    bool record(const QString& op, const QString& line)
    {
        if (op == failAt) {
            failAt.clear();
            error = failure;
            calls.append(line + QStringLiteral(" failed"));
            return false;
        }
        calls.append(line);
        return true;
    }
};

} // namespace tolva::testing
