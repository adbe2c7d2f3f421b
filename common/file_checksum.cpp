#include "common/file_checksum.h"

#include <QFile>

#include <cstring>

namespace {

constexpr quint64 kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr quint64 kPrime2 = 0xC2B2AE3D27D4EB4FULL;

quint64 rotl(quint64 value, int by)
{
    return (value << by) | (value >> (64 - by));
}

quint64 round(quint64 lane, quint64 word)
{
    return rotl(lane + word * kPrime2, 31) * kPrime1;
}

} // namespace

quint64 checksumOf(const char *bytes, qint64 size)
{
    // Four independent lanes over 32-byte blocks, then the tail byte by byte.
    quint64 lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    qint64 at = 0;
    for (; at + 32 <= size; at += 32) {
        for (int lane = 0; lane < 4; ++lane) {
            quint64 word;
            std::memcpy(&word, bytes + at + 8 * lane, 8);
            lanes[lane] = round(lanes[lane], word);
        }
    }
    quint64 sum = rotl(lanes[0], 1) + rotl(lanes[1], 7) + rotl(lanes[2], 12) + rotl(lanes[3], 18);
    for (; at < size; ++at)
        sum = rotl(sum ^ (quint64(static_cast<unsigned char>(bytes[at])) * kPrime1), 11) * kPrime2;
    sum ^= quint64(size);
    sum ^= sum >> 33;
    sum *= kPrime2;
    sum ^= sum >> 29;
    return sum;
}

std::optional<FileChecksum> checksumOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    if (size > 0) {
        if (const uchar *mapped = file.map(0, size)) {
            const quint64 sum = checksumOf(reinterpret_cast<const char *>(mapped), size);
            file.unmap(const_cast<uchar *>(mapped));
            return FileChecksum{size, sum};
        }
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return FileChecksum{bytes.size(), checksumOf(bytes.constData(), bytes.size())};
}
