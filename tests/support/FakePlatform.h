#pragma once
// Scripted stand-ins for the platform seams: they record what the program
// would have shown and answer dialogs from a script.

#include "common/Platform.h"

#include <QList>
#include <QStringList>
#include <deque>

namespace tolva::testing {

class RecordingMessages : public MessageSink {
public:
    void show(const MessageReport& report) override { reports.append(report); }
    QList<MessageReport> reports;
};

class FixedClock : public Clock {
public:
    double secondsSinceMidnight() const override { return seconds; }
    double seconds = 0.0;
};

// Returns the scripted values in turn, then repeats the last one.
class SequenceRandom : public RandomSource {
public:
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

class RecordingSounds : public SoundPlayer {
public:
    void play(const QString& name) override { played.append(name); }
    QStringList played;
};

class RecordingHelp : public HelpViewer {
public:
    void showTopic(int contextId) override { topics.append(contextId); }
    void close() override { ++closes; }
    QList<int> topics;
    int closes = 0;
};

// Answers each dialog with the next scripted answer; nothing means "cancelled".
class ScriptedFileDialogs : public FileDialogs {
public:
    std::optional<QString> openFile(const FileDialogRequest& request) override { return answer(request); }
    std::optional<QString> saveFile(const FileDialogRequest& request) override { return answer(request); }
    std::deque<std::optional<QString>> answers;
    QList<FileDialogRequest> requests;
private:
    std::optional<QString> answer(const FileDialogRequest& request)
    {
        requests.append(request);
        // A cancel is scripted as an empty answer; the text is moved out
        // rather than copied from a maybe-empty optional.
        QString path;
        bool chosen = false;
        if (!answers.empty()) {
            chosen = answers.front().has_value();
            if (chosen)
                path = std::move(*answers.front());
            answers.pop_front();
        }
        if (!chosen)
            return std::nullopt;
        return path;
    }
};

class ScriptedColors : public ColorDialog {
public:
    std::optional<quint32> chooseColor(quint32) override { return answer; }
    std::optional<quint32> answer;
};

} // namespace tolva::testing
