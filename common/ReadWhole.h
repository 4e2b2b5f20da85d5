#pragma once
// Reading a file whole into memory. Maps and records are read through it so
// that a pipe (a FIFO, a shell's process substitution) gives the same bytes,
// and is then checked the same way, as a file on disk. A FIFO with no writer
// waits for one, as any program reading it would.

#include <QByteArray>
#include <QString>

namespace tolva {

struct WholeFile {
    QByteArray bytes;     // at most limit + 1 bytes: more than the limit means "too large"
    QString error;        // why the bytes could not be read; empty when they were
    bool opened = false;  // false when the failure came before the first byte
    bool ok() const { return error.isEmpty(); }
    bool beyond(qint64 limit) const { return bytes.size() > limit; }
};

// Reads `path` (a regular file or a pipe) up to one byte past `limit`, so that
// an endless source costs no more than that. A folder, a device or a socket
// is refused with "It is a folder, not a file" (a device, a socket); other
// failures give the system's words ("No such file or directory").
WholeFile ReadWhole(const QString& path, qint64 limit);

} // namespace tolva
