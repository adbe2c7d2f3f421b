#pragma once
// A 64-bit checksum of a file's bytes, to tell a staged table that is whole from
// one damaged or swapped since it was made. Not cryptographic: it finds changes
// that happen by accident (a cut write, a file copied over), fast enough to run
// over every staged table of a large school in a few milliseconds.

#include <QString>
#include <QtGlobal>

#include <optional>

struct FileChecksum {
    qint64 size = 0;
    quint64 sum = 0;
    bool operator==(const FileChecksum &) const = default;
};

// The checksum of a run of bytes.
quint64 checksumOf(const char *bytes, qint64 size);

// The file's size and checksum, read in one pass; nothing when it cannot be read.
std::optional<FileChecksum> checksumOfFile(const QString &path);
