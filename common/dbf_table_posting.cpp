// Posting: each posted record written through to disk with the header's date
// and count, or kept and written with the posts around it (batchPosts).
#include "common/dbf_table_impl.h"

#include "common/disk_io.h"
#include "common/system_reason.h"

#include <algorithm>
#include <cstring>

namespace dbf {

namespace {

// Batched appends are written at the latest when this many bytes wait.
constexpr std::size_t kBatchBytes = 1 << 20;

} // namespace

void Table::Impl::writeAt(qint64 offset, const char *bytes, qint64 size, const char *tail, qint64 tailSize)
{
    if (const int error = disk::writeAt(file.handle(), offset, bytes, size, tail, tailSize))
        throw UserError(disk::failureText(QStringLiteral("escribir en la tabla"), path, error));
}

void Table::Impl::writeDateAndCount()
{
    format::setDateAndCount(data.data(), today, std::uint32_t(diskRows));
    if (std::memcmp(data.data() + 1, headerOnDisk, sizeof headerOnDisk) != 0) {
        writeAt(1, data.data() + 1, sizeof headerOnDisk);
        std::memcpy(headerOnDisk, data.data() + 1, sizeof headerOnDisk);
    }
}

void Table::Impl::writePending()
{
    if (firstRepost < 0 && pendingRows == 0)
        return;
    const std::size_t length = std::size_t(header.recordLength);
    if (firstRepost >= 0) {
        writeAt(qint64(offsetOf(firstRepost)), posted.data() + std::size_t(firstRepost) * length,
            qint64(std::size_t(lastRepost - firstRepost + 1) * length));
        firstRepost = lastRepost = -1;
    }
    if (pendingRows > 0) {
        static const char endMark = format::kEndOfFile;
        writeAt(qint64(offsetOf(diskRows)), pending.data(), qint64(pending.size()), &endMark, 1);
        diskRows += pendingRows;
        pendingRows = 0;
        pending.clear();
    }
    writeDateAndCount();
}

void Table::batchPosts()
{
    d->checkOpen();
    if (d->batching)
        return;
    d->batching = true;
    // The records as the file holds them, which a row posted again replaces.
    d->postedRows = d->diskRows;
    d->posted.assign(d->record(0), d->record(d->diskRows));
}

void Table::post(int row)
{
    d->checkRow(row);
    Impl &t = *d;
    if (t.access != Access::Exclusive)
        throw UserError(QStringLiteral("La tabla %1 está abierta solo para leer.").arg(t.path));
    const auto recordLength = qint64(t.header.recordLength);
    if (t.batching && row < t.postedRows) {
        // The bytes this post would write, kept for one write of many records.
        std::memcpy(
            t.posted.data() + std::size_t(row) * std::size_t(recordLength), t.record(row), std::size_t(recordLength));
        t.firstRepost = t.firstRepost < 0 ? row : std::min(t.firstRepost, row);
        t.lastRepost = std::max(t.lastRepost, row);
        return;
    }
    if (row < t.diskRows) {
        t.writeAt(qint64(t.offsetOf(row)), t.record(row), recordLength);
    } else if (t.batching) {
        // The bytes this post would write, kept for one write of many rows.
        const int firstUnposted = t.diskRows + t.pendingRows;
        if (row < firstUnposted) {
            std::memcpy(t.pending.data() + std::size_t(row - t.diskRows) * std::size_t(recordLength), t.record(row),
                std::size_t(recordLength));
        } else {
            t.pending.insert(t.pending.end(), t.record(firstUnposted), t.record(row) + recordLength);
            t.pendingRows = row + 1 - t.diskRows;
        }
        if (t.pending.size() >= kBatchBytes)
            t.writePending();
        return;
    } else {
        // Appended rows not posted yet go with it, so the file has no gap; then the end mark.
        static const char endMark = format::kEndOfFile;
        t.writeAt(qint64(t.offsetOf(t.diskRows)), t.record(t.diskRows),
            qint64(t.offsetOf(row + 1) - t.offsetOf(t.diskRows)), &endMark, 1);
        t.diskRows = row + 1;
    }
    // The date and count on disk already say so after a post that appended nothing.
    t.writeDateAndCount();
}

} // namespace dbf
