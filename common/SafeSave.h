#pragma once
// Saving a file whole or not at all. Every file the tools write (records,
// rendered pictures, saved maps) goes through SaveWhole: the bytes go to a
// temporary file in the target's folder, every write and the flush to the disk
// are checked, and only then is the temporary file renamed over the target.
// A full disk, a write error or a missing folder leaves the old file exactly as
// it was and no temporary file behind.

#include <QByteArrayView>
#include <QString>

#include <optional>

#include <sys/types.h>

namespace tolva {

// The write call, replaceable by tests that make a write fail part-way.
using WriteCall = ssize_t (*)(int fd, const void* data, size_t size);

// Writes `bytes` to `path`. Returns nothing when the file is saved, else why
// not, in the system's words where the system refused ("No space left on
// device", "Permission denied"). An existing target that is not a regular file
// (a folder, a FIFO, a device, a socket) is refused before anything is written:
// "it is not a regular file". A symbolic link is followed: its target is
// replaced, the link stays. An existing file keeps its permissions.
std::optional<QString> SaveWhole(const QString& path, QByteArrayView bytes, WriteCall write = nullptr);

} // namespace tolva
