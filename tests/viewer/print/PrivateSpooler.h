#pragma once
// A print spooler of the tests' own: a CUPS daemon run as a child process,
// with its configuration, spool, logs and socket in a temporary folder, and
// one PDF printer as the default. Jobs are held in the spool, never printed,
// so that a test can count what reached the spooler.

#include <QList>
#include <QProcess>
#include <QTemporaryDir>

namespace tolva::testing {

// The page count pdfinfo reads, -1 when it cannot read the file.
int PdfPages(const QString& file);

class PrivateSpooler {
public:
    static constexpr const char* kPrinter = "TolvaPDF";

    // Starts the daemon, adds the printer and points this process's printing
    // at the daemon's socket: construct it before anything asks for printers,
    // since the printing library keeps the first server it is given.
    PrivateSpooler();
    ~PrivateSpooler();

    // Empty when the spooler is up, else why it is not.
    QString failure() const { return m_failure; }

    // pages: of the first document, as pdfinfo reads them; copies: as the job asks the printer.
    struct Job { int documents = 0, pages = -1, copies = -1; };
    // The jobs in the spool, oldest first.
    QList<Job> jobs() const;

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    bool run(const QString& program, const QStringList& arguments);
    bool waitForSocket(const QString& socket);

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_failure;
};

} // namespace tolva::testing
