#include "fuzz/fuzz_support.h"

#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/course_dialog.h"
#include "export/frame_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace fuzz {

QString scratchFolder()
{
    static const std::unique_ptr<QTemporaryDir> folder = [] {
        // scripts/fuzz.sh names a folder it removes afterwards, also after a crash.
        const QString given = qEnvironmentVariable("HORAVO_FUZZ_SCRATCH");
        const QString memory = QStringLiteral("/dev/shm");
        const QString base = !given.isEmpty()                             ? given
            : QFileInfo(memory).isDir() && QFileInfo(memory).isWritable() ? memory
                                                                          : QDir::tempPath();
        auto made = std::make_unique<QTemporaryDir>(base + QStringLiteral("/horavo-fuzz-XXXXXX"));
        if (!made->isValid())
            std::abort();
        return made;
    }();
    return folder->path();
}

QString freshFolder(const QString &name)
{
    QDir folder(QDir(scratchFolder()).filePath(name));
    if (folder.exists())
        folder.removeRecursively();
    if (!QDir().mkpath(folder.path()))
        std::abort();
    return folder.path();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

void fail(const QString &what)
{
    std::fprintf(stderr, "FALLO: %s\n", qPrintable(what));
    std::abort();
}

void checkTablesReadable(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.DBF")}, QDir::Files)) {
        try {
            dbf::Table table(dir.filePath(name));
            table.open(dbf::Table::Access::ReadShared);
            for (int row = 0; row < table.size(); ++row) {
                for (int field = 0; field < table.fieldCount(); ++field)
                    table.text(row, field);
            }
        } catch (const UserError &error) {
            fail(QStringLiteral("una tabla escrita no se puede leer: ") + error.message());
        }
    }
}

std::vector<QByteArray> splitInput(const std::uint8_t *data, std::size_t size, std::size_t parts)
{
    const QByteArray whole = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray separator = QByteArray::fromRawData(kSeparator, qsizetype(std::strlen(kSeparator)));
    std::vector<QByteArray> result;
    qsizetype from = 0;
    while (result.size() + 1 < parts) {
        const qsizetype at = whole.indexOf(separator, from);
        if (at < 0)
            break;
        result.push_back(whole.mid(from, at - from));
        from = at + separator.size();
    }
    result.push_back(whole.mid(from));
    result.resize(parts);
    return result;
}

std::optional<QString> AnsweringInterface::chooseXmlFile(XmlFile which)
{
    const int index = which == XmlFile::Seneca ? 0 : 1;
    if (index >= files.size())
        return std::nullopt;
    return files[index];
}

void AnsweringInterface::runCourseDialog(CourseDialog &dialog)
{
    dialog.onShow();
    if (++m_courseDialogs > 1) {
        dialog.forceExit();
        return;
    }
    // The codings of the example school (examples/niveles.csv).
    static const QHash<QString, std::pair<QString, QString>> known{
        {QStringLiteral("6021"), {QStringLiteral("ESO"), QStringLiteral("1")}},
        {QStringLiteral("6022"), {QStringLiteral("ESO"), QStringLiteral("2")}},
        {QStringLiteral("6023"), {QStringLiteral("ESO"), QStringLiteral("3")}},
        {QStringLiteral("6024"), {QStringLiteral("ESO"), QStringLiteral("4")}},
        {QStringLiteral("6131"), {QStringLiteral("BCT"), QStringLiteral("1")}},
        {QStringLiteral("6132"), {QStringLiteral("BCT"), QStringLiteral("2")}},
        {QStringLiteral("6141"), {QStringLiteral("BHC"), QStringLiteral("1")}},
        {QStringLiteral("6142"), {QStringLiteral("BHC"), QStringLiteral("2")}},
    };
    dialog.batchChanges();
    for (int row = 0; row < dialog.rowCount(); ++row) {
        const auto coding = known.value(dialog.clave(row), {QStringLiteral("N"), QStringLiteral("1")});
        dialog.setNivel(row, coding.first);
        dialog.setCurso(row, coding.second);
    }
    dialog.ok();
}

void AnsweringInterface::runFrameDialog(FrameDialog &dialog)
{
    // Given back unclosed, a dialog ends the run instead of being asked again.
    if (++m_frameDialogs > 2)
        return;
    std::vector<int> chosen;
    for (int index = 0; index < dialog.frameCount() && index < 2; ++index)
        chosen.push_back(index);
    dialog.setSelection(chosen);
    dialog.close();
}

} // namespace fuzz
