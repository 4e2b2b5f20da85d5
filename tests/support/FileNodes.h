#pragma once
// The file system nodes that are not regular files, made in a test's folder,
// and a FIFO fed from another thread.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tolva::testing {

inline bool MakeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// A bound Unix socket; the node stays after the socket is closed.
inline bool MakeSocket(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

// What `read` makes of a fresh FIFO while another thread writes `bytes` into
// it `times` times over, as another program would; a reader that stops early
// ends the writing.
template <class Read>
auto ReadThroughFifo(const QByteArray& bytes, int times, Read read)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fifo"));
    MakeFifo(path); // without it the read fails with the reason
    const auto oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([name = QFile::encodeName(path), &bytes, times] {
        const int fd = ::open(name.constData(), O_WRONLY);
        for (int i = 0; fd >= 0 && i < times; ++i)
            if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
                break;
        if (fd >= 0)
            ::close(fd);
    });
    auto result = read(path);
    writer.join();
    std::signal(SIGPIPE, oldPipeHandler);
    return result;
}

} // namespace tolva::testing
