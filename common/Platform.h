#pragma once
// The seams between the tools and the world outside them: message boxes,
// dialogs, the printer, sounds, the help viewer, the clock and the random source. Each is a
// small interface with a Qt implementation for the programs and a scripted one
// for the tests (tests/support), so that no test blocks on a modal dialog or
// depends on the time of day.

#include <QString>

#include <optional>

class QImage;

namespace tolva {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };

// One message box as the user would see it.
struct MessageReport {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    bool operator==(const MessageReport&) const = default;
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const MessageReport& report) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, with a fractional part.
    virtual double secondsSinceMidnight() const = 0;
};

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Uniform in [0, 1).
    virtual double next() = 0;
};

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Plays a named system sound ("RestoreUp", "Minimize", "Maximize") if the
    // machine can; never blocks, never fails the caller.
    virtual void play(const QString& name) = 0;
};

// Help topics by context number.
inline constexpr int kHelpTopicViewer = 96;
inline constexpr int kHelpTopicEditor = 94;
inline constexpr int kHelpTopicPrinting = 39;

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showTopic(int contextId) = 0;
    virtual void close() = 0;
};

struct FileDialogRequest {
    QString caption;
    QString folder;    // initial folder, empty for none
    QString fileName;  // offered name, empty for none
    QString filter;    // e.g. "Tolva3D File (*.ebm);;Bitmap (*.bmp)"
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
};

class ColorDialog {
public:
    virtual ~ColorDialog() = default;
    // A colour reference (red in the low byte), or nothing when cancelled.
    virtual std::optional<quint32> chooseColor(quint32 initial) = 0;
};

// The printer as the print window sees it: page values in whole twips, the
// set-up and print dialogs, and document output. The print window creates one
// per showing; the Qt implementation sits on QPrinter and its dialogs.
class PrinterService {
public:
    enum class Dialog { Print, Setup };
    virtual ~PrinterService() = default;

    virtual QString deviceName() const = 0;
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    virtual int offsetLeft() const = 0;
    virtual int offsetTop() const = 0;
    virtual int printableWidth() const = 0;
    virtual int printableHeight() const = 0;
    virtual int orientation() const = 0; // 1 portrait, 2 landscape
    virtual void setOrientation(int orientation) = 0;

    // Shows a dialog; true when the user confirmed it.
    virtual bool showDialog(Dialog dialog) = 0;
    virtual bool fastPrint() const = 0;
    virtual void setFastPrint(bool fast) = 0;
    virtual bool printToFile() const = 0;
    virtual int copies() const = 0;

    // Document output; each returns false when the printer refused.
    virtual bool startDoc(const QString& documentName, const QString& outputFile) = 0;
    virtual bool startPage() = 0;
    virtual bool drawPicture(const QImage& picture, int left, int top, int width, int height) = 0;
    virtual bool endPage() = 0;
    virtual bool endDoc() = 0;
    // Why the last operation that returned false failed.
    virtual QString errorText() const = 0;
};

// Everything a window needs from the outside world, handed in at construction.
// Pointers are not owned; a null pointer means "not available".
struct Platform {
    MessageSink* messages = nullptr;
    Clock* clock = nullptr;
    RandomSource* random = nullptr;
    SoundPlayer* sounds = nullptr;
    HelpViewer* help = nullptr;
    FileDialogs* files = nullptr;
    ColorDialog* colors = nullptr;
    PrinterService* printer = nullptr;
};

} // namespace tolva
