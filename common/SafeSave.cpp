#include "common/SafeSave.h"
#include "common/SystemReason.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolva {

namespace {

// The mode a new file gets from open(): 0666 less the process's umask.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The temporary file: created exclusively, removed again unless renamed.
class TemporaryFile {
public:
    explicit TemporaryFile(const QByteArray& target) : m_name(target + ".XXXXXX")
    {
        m_fd = ::mkstemp(m_name.data());
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_renamed)
            ::unlink(m_name.constData());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return m_fd; }
    const char* name() const { return m_name.constData(); }
    // Closes the file; its error (a delayed write error on some file systems) counts.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }
    void renamed() { m_renamed = true; }

private:
    QByteArray m_name;
    int m_fd = -1;
    bool m_renamed = false;
};

bool WriteAll(int fd, QByteArrayView bytes, WriteCall write)
{
    const char* data = bytes.data();
    size_t left = static_cast<size_t>(bytes.size());
    while (left > 0) {
        const ssize_t n = write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) { // no progress and no error: nothing more fits
            errno = ENOSPC;
            return false;
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// The folder of `path`, for flushing the rename to the disk.
QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

} // namespace

std::optional<QString> SaveWhole(const QString& path, QByteArrayView bytes, WriteCall write)
{
    if (!write)
        write = ::write;
    if (path.isEmpty())
        return QStringLiteral("no file name");
    QByteArray target = QFile::encodeName(path);

    mode_t mode = NewFileMode();
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return QStringLiteral("it is not a regular file");
        if (::access(target.constData(), W_OK) != 0)
            return QStringLiteral("it is write-protected");
        mode = existing.st_mode & 07777;
        // Replace what a symbolic link points to, not the link.
        if (char* real = ::realpath(target.constData(), nullptr)) {
            target = real;
            std::free(real);
        }
    }

    TemporaryFile temporary(target);
    if (temporary.fd() < 0)
        return SystemReason(errno);
    if (::fchmod(temporary.fd(), mode) != 0 || !WriteAll(temporary.fd(), bytes, write)
        || ::fsync(temporary.fd()) != 0 || !temporary.close())
        return SystemReason(errno);
    if (::rename(temporary.name(), target.constData()) != 0)
        return SystemReason(errno);
    temporary.renamed();

    // The rename itself reaches the disk with the folder; a failure here no
    // longer puts the old file at risk.
    const int folder = ::open(FolderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return std::nullopt;
}

} // namespace tolva
