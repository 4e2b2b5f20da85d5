#include "common/ReadWhole.h"
#include "common/SystemReason.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolva {

namespace {

// Why a node of this type is not read as a file, or empty when it is.
QString Refusal(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("It is a folder, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("It is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("It is a socket, not a file");
    return QString();
}

WholeFile Failed(const QString& why, bool opened)
{
    WholeFile result;
    result.error = why;
    result.opened = opened;
    return result;
}

} // namespace

WholeFile ReadWhole(const QString& path, qint64 limit)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    // Judged before opening: opening a socket fails with a misleading reason,
    // and opening some devices has effects of its own.
    if (::stat(name.constData(), &info) != 0)
        return Failed(SystemReason(errno), false);
    if (const QString refused = Refusal(info.st_mode); !refused.isEmpty())
        return Failed(refused, false);

    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Failed(SystemReason(errno), false);
    // The node may have been swapped between the two looks.
    const QString why = ::fstat(fd, &info) != 0 ? SystemReason(errno) : Refusal(info.st_mode);
    if (!why.isEmpty()) {
        ::close(fd);
        return Failed(why, false);
    }

    WholeFile result;
    result.opened = true;
    if (S_ISREG(info.st_mode))
        result.bytes.reserve(std::min<qint64>(info.st_size, limit) + 1);
    char chunk[65536];
    while (result.bytes.size() <= limit) {
        const qint64 wanted = std::min<qint64>(sizeof chunk, limit + 1 - result.bytes.size());
        const ssize_t n = ::read(fd, chunk, static_cast<size_t>(wanted));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = SystemReason(errno);
            break;
        }
        if (n == 0)
            break;
        result.bytes.append(chunk, n);
    }
    ::close(fd);
    if (!result.ok())
        result.bytes.clear();
    return result;
}

} // namespace tolva
