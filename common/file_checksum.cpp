#include "common/file_checksum.h"

#include <QFile>

#include <algorithm>
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

// Four independent lanes over 32-byte blocks, then the tail byte by byte; fed
// in pieces of any size, the sum is that of the whole run.
class Summer {
public:
    void add(const char *bytes, qint64 size)
    {
        m_size += size;
        if (m_pending > 0) {
            const qint64 take = std::min<qint64>(32 - m_pending, size);
            std::memcpy(m_block + m_pending, bytes, std::size_t(take));
            m_pending += int(take);
            bytes += take;
            size -= take;
            if (m_pending < 32)
                return;
            block(m_block);
            m_pending = 0;
        }
        for (; size >= 32; bytes += 32, size -= 32)
            block(bytes);
        std::memcpy(m_block, bytes, std::size_t(size));
        m_pending = int(size);
    }
    quint64 sum() const
    {
        quint64 sum = rotl(m_lanes[0], 1) + rotl(m_lanes[1], 7) + rotl(m_lanes[2], 12) + rotl(m_lanes[3], 18);
        for (int at = 0; at < m_pending; ++at)
            sum = rotl(sum ^ (quint64(static_cast<unsigned char>(m_block[at])) * kPrime1), 11) * kPrime2;
        sum ^= quint64(m_size);
        sum ^= sum >> 33;
        sum *= kPrime2;
        sum ^= sum >> 29;
        return sum;
    }

private:
    void block(const char *bytes)
    {
        for (int lane = 0; lane < 4; ++lane) {
            quint64 word;
            std::memcpy(&word, bytes + 8 * lane, 8);
            m_lanes[lane] = round(m_lanes[lane], word);
        }
    }

    quint64 m_lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    char m_block[32] = {};
    int m_pending = 0;
    qint64 m_size = 0;
};

} // namespace

quint64 checksumOf(const char *bytes, qint64 size)
{
    Summer summer;
    summer.add(bytes, size);
    return summer.sum();
}

std::optional<FileChecksum> checksumOfFile(const QString &path)
{
    // Read in pieces that stay in the processor's cache, without mapping the file.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    constexpr qint64 kPiece = 256 * 1024;
    // One buffer per file (a thread_local one would be freed twice by mingw-w64's
    // thread end on Windows).
    QByteArray buffer(kPiece, Qt::Uninitialized);
    Summer summer;
    qint64 size = 0;
    for (;;) {
        const qint64 got = file.read(buffer.data(), kPiece);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        summer.add(buffer.constData(), got);
        size += got;
    }
    return FileChecksum{size, summer.sum()};
}
