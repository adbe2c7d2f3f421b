#include "common/staging_area.h"

#include "common/dbf_table.h"
#include "common/disk_io.h"
#include "common/file_checksum.h"
#include "common/system_reason.h"
#include "common/user_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <optional>
#include <thread>
#include <vector>

#if defined(Q_OS_WIN)
#include "common/windows_calls.h"
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#endif

std::function<void(const QString &)> StagingArea::afterRename;

namespace staging_texts {
QString tableInUse(const QString &fileName, const QString &workDir)
{
    return QStringLiteral("La tabla %1 de la carpeta de trabajo %2 está abierta en otro programa, seguramente "
                          "Horavent. Cierre Horavent y vuelva a intentarlo. No se ha cambiado ninguna tabla.")
        .arg(fileName, QDir::toNativeSeparators(workDir));
}
QString unchanged()
{
    return QStringLiteral("No se ha cambiado ninguna tabla de la carpeta de trabajo.");
}
} // namespace staging_texts

QString PlainFolder::writePath(const QString &fileName) const
{
    return QDir(m_dir).filePath(fileName);
}

void PlainFolder::removeTable(const QString &fileName)
{
    dbf::removeTableFiles(writePath(fileName));
}

void PlainFolder::removeFile(const QString &fileName)
{
    if (const int error = disk::removeFile(writePath(fileName)))
        throw UserError(disk::failureText(QStringLiteral("borrar"), writePath(fileName), error));
}

namespace {

QString markerPath(const QString &stagingDir)
{
    return QDir(stagingDir).filePath(StagingArea::markerName());
}

bool makePrivateFolder(const QString &path, int &error)
{
#if defined(Q_OS_WIN)
    if (CreateDirectoryW(windows_calls::widePath(path).c_str(), nullptr))
        return true;
    error = windows_calls::lastErrorNumber();
    return false;
#else
    if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0)
        return true;
    error = errno;
    return false;
#endif
}

// The marker's lines: "R NAME SIZE SUM" a staged table renamed in, with its size
// in bytes and its checksum in hexadecimal; "D NAME" a file deleted.
QByteArray markerText(const StagingArea::Plan &plan)
{
    QByteArray text;
    for (qsizetype i = 0; i < plan.replace.size(); ++i) {
        const FileChecksum &sum = plan.sums[std::size_t(i)];
        text += "R " + plan.replace[i].toUtf8() + ' ' + QByteArray::number(sum.size) + ' '
            + QByteArray::number(sum.sum, 16) + '\n';
    }
    for (const QString &name : plan.remove)
        text += "D " + name.toUtf8() + '\n';
    return text;
}

// A name the marker may give: a table of the known set, or its index file, as a
// plain name in the working folder.
bool isKnownName(const QString &name, const QStringList &tableNames, bool indexToo)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1Char(':')) || name.startsWith(QLatin1Char('.')))
        return false;
    if (tableNames.contains(name, Qt::CaseInsensitive))
        return true;
    if (!indexToo || !name.endsWith(QLatin1String(".MDX"), Qt::CaseInsensitive))
        return false;
    return tableNames.contains(name.left(name.size() - 4) + QStringLiteral(".DBF"), Qt::CaseInsensitive);
}

// What a marker a stopped run left asks for, when every line is of the known
// form and names a known table, and every staged table it names is whole: still
// in the staging folder with its recorded size and checksum, or, renamed before
// the stop, in the working folder with them. Otherwise nothing, and why.
std::optional<StagingArea::Plan> checkedMarker(
    const QString &stagingDir, const QString &workDir, const QStringList &tableNames, QString &why, QStringList &named)
{
    QFile marker(QDir(stagingDir).filePath(StagingArea::markerName()));
    if (!marker.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("no se puede leer su marca %1: %2").arg(StagingArea::markerName(), disk::lastReason());
        return std::nullopt;
    }
    const QList<QByteArray> lines = marker.read(1 << 20).split('\n');
    marker.close();
    StagingArea::Plan plan;
    bool whole = true;
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> parts = line.split(' ');
        const QString name = parts.size() >= 2 ? QString::fromUtf8(parts[1]) : QString();
        const bool known = isKnownName(name, tableNames, parts[0] == "D");
        if (known)
            named << name;
        if (parts[0] == "D" && parts.size() == 2 && known) {
            plan.remove << name;
            continue;
        }
        bool sizeRead = false, sumRead = false;
        const FileChecksum recorded{parts.size() == 4 ? parts[2].toLongLong(&sizeRead) : 0,
            parts.size() == 4 ? parts[3].toULongLong(&sumRead, 16) : 0};
        if (parts[0] != "R" || parts.size() != 4 || !known || !sizeRead || !sumRead) {
            why = QStringLiteral("su marca %1 pide algo que una exportación nunca pide (%2)")
                      .arg(StagingArea::markerName(), QString::fromUtf8(line.left(200)));
            whole = false;
            continue;
        }
        const QString staged = QDir(stagingDir).filePath(name);
        const QString done = QDir(workDir).filePath(name);
        const std::optional<FileChecksum> found
            = checksumOfFile(disk::kindOf(staged) == disk::FileKind::Regular ? staged : done);
        if (!found || *found != recorded) {
            why = QStringLiteral("la tabla %1 preparada no está entera").arg(name);
            whole = false;
            continue;
        }
        plan.replace << name;
        plan.sums.push_back(recorded);
    }
    if (!whole)
        return std::nullopt;
    return plan;
}

QString setAsideText(const QString &workDir, const QString &why, const QString &aside, const QStringList &named)
{
    QStringList tables = named;
    tables.removeDuplicates();
    const QString which = tables.isEmpty()
        ? QStringLiteral("Las tablas de la carpeta pueden estar mezcladas")
        : QStringLiteral("Las tablas %1 pueden estar mezcladas").arg(tables.join(QStringLiteral(", ")));
    return QStringLiteral(
        "En la carpeta de trabajo %1 quedó una sustitución de tablas interrumpida que no se ha podido "
        "terminar: %2. Se ha apartado en %3 y no se usará más; no se ha borrado nada. %4, unas de "
        "una exportación y otras de otra: haga una nueva exportación, que las dejará bien, antes de "
        "abrirlas en Horavent o de importar.")
        .arg(QDir::toNativeSeparators(workDir), why, QDir::toNativeSeparators(aside), which);
}

QString unfinishedText(const QString &workDir, const QString &detail)
{
    return QStringLiteral("No se pudieron terminar de sustituir las tablas de la carpeta de trabajo %1 (%2). La "
                          "próxima exportación o importación terminará de sustituirlas antes de empezar.")
        .arg(QDir::toNativeSeparators(workDir), detail);
}

} // namespace

StagingArea::StagingArea(QString workDir)
    : m_workDir(std::move(workDir))
{
    int error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate
            = QDir(m_workDir).filePath(folderPrefix() + QString::number(QRandomGenerator::global()->generate64(), 36));
        if (makePrivateFolder(candidate, error)) {
            m_path = candidate;
            m_owner.take(writePath(ownerName())); // without locks, the folder lock alone keeps it
            return;
        }
        if (error != EEXIST)
            break;
    }
    throw UserError(QStringLiteral("No se puede escribir en la carpeta de trabajo %1: %2.")
                        .arg(QDir::toNativeSeparators(m_workDir), disk::reason(error)));
}

StagingArea::~StagingArea()
{
    if (!m_marked && !m_path.isEmpty())
        QDir(m_path).removeRecursively();
}

QString StagingArea::writePath(const QString &fileName) const
{
    return QDir(m_path).filePath(fileName);
}

QString StagingArea::readPath(const QString &fileName) const
{
    const QString staged = writePath(fileName);
    if (QFileInfo::exists(staged))
        return staged;
    if (m_tablesRemoved.contains(fileName) || m_filesRemoved.contains(fileName))
        return QString();
    return QDir(m_workDir).filePath(fileName);
}

void StagingArea::removeTable(const QString &fileName)
{
    dbf::removeTableFiles(writePath(fileName));
    m_tablesRemoved.insert(fileName);
    m_updated.remove(fileName);
}

void StagingArea::removeFile(const QString &fileName)
{
    if (const int error = disk::removeFile(writePath(fileName)))
        throw UserError(disk::failureText(QStringLiteral("borrar"), writePath(fileName), error));
    m_filesRemoved.insert(fileName);
    m_updated.remove(fileName);
}

QString StagingArea::copyForUpdate(const QString &fileName)
{
    const QString staged = writePath(fileName);
    const bool rebuilt = m_tablesRemoved.contains(fileName);
    if (!rebuilt)
        m_updated.insert(fileName);
    if (QFileInfo::exists(staged) || rebuilt || m_filesRemoved.contains(fileName))
        return staged;
    const QString original = QDir(m_workDir).filePath(fileName);
    if (!QFileInfo(original).isFile())
        return staged;
    QFile in(original);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly))
        throw UserError(disk::failureText(QStringLiteral("leer la tabla"), original, errno));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw UserError(disk::failureText(QStringLiteral("leer la tabla"), original, errno ? errno : EIO));
    disk::writeWholeFile(staged, bytes, false);
    QFile::setPermissions(staged, QFileInfo(original).permissions());
    return staged;
}

StagingArea::Plan StagingArea::fullPlan() const
{
    Plan plan;
    const QStringList staged = QDir(m_path).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : staged) {
        if (name.endsWith(QLatin1String(".tmp")))
            continue; // a file a failed write left half made
        if (name == ownerName() || name == markerName())
            continue;
        plan.replace << name;
        if (m_updated.contains(name))
            continue;
        // The steps delete a table's index files before they create it anew.
        for (const QString &file : dbf::tableFiles(QDir(m_workDir).filePath(name))) {
            const QString other = QFileInfo(file).fileName();
            if (other.compare(name, disk::fileNameCase()) != 0)
                plan.remove << other;
        }
    }
    for (const QString &name : m_tablesRemoved) {
        if (staged.contains(name))
            continue;
        for (const QString &file : dbf::tableFiles(QDir(m_workDir).filePath(name)))
            plan.remove << QFileInfo(file).fileName();
    }
    for (const QString &name : m_filesRemoved) {
        if (!staged.contains(name))
            plan.remove << name;
    }
    plan.remove.removeDuplicates();
    return plan;
}

void StagingArea::commit()
{
    replace(fullPlan());
}

void StagingArea::commitOnly(const QStringList &fileNames)
{
    Plan plan;
    for (const QString &name : fileNames) {
        if (QFileInfo::exists(writePath(name)))
            plan.replace << name;
    }
    replace(plan);
}

void StagingArea::checkReplaceable(const QString &workDir, const QStringList &tableFileNames)
{
    for (const QString &name : tableFileNames) {
        for (const QString &file : dbf::tableFiles(QDir(workDir).filePath(name))) {
            if (QFileInfo(file).isDir()) {
                throw UserError(QStringLiteral("En la carpeta de trabajo %1 hay una carpeta llamada %2 donde debe ir "
                                               "una tabla. Cámbiela de nombre o quítela y vuelva a intentarlo. %3")
                                    .arg(QDir::toNativeSeparators(workDir), QFileInfo(file).fileName(),
                                        staging_texts::unchanged()));
            }
            if (dbf::isInUse(file))
                throw UserError(staging_texts::tableInUse(QFileInfo(file).fileName(), workDir));
        }
    }
}

void StagingArea::replace(Plan plan)
{
    if (plan.replace.isEmpty() && plan.remove.isEmpty())
        return;
    checkReplaceable(m_workDir, plan.replace + plan.remove);
    // Every staged table whole on disk before the marker says so, with the size
    // and checksum a later run checks before it obeys the marker. The tables are
    // read and forced all at once: the disk then waits once rather than once per table.
    std::vector<int> errors(std::size_t(plan.replace.size()), 0);
    plan.sums.assign(std::size_t(plan.replace.size()), FileChecksum{});
    {
        std::vector<std::thread> syncs;
        for (qsizetype i = 0; i < plan.replace.size(); ++i) {
            syncs.emplace_back([&errors, &plan, i, path = writePath(plan.replace[i])] {
                const std::optional<FileChecksum> sum = checksumOfFile(path);
                if (!sum) {
                    errors[std::size_t(i)] = EIO;
                    return;
                }
                plan.sums[std::size_t(i)] = *sum;
                errors[std::size_t(i)] = disk::syncFile(path);
            });
        }
        for (std::thread &sync : syncs)
            sync.join();
    }
    for (qsizetype i = 0; i < plan.replace.size(); ++i) {
        if (const int error = errors[std::size_t(i)]) {
            throw UserError(disk::failureText(QStringLiteral("guardar en el disco la tabla"), plan.replace[i], error)
                + QLatin1Char(' ') + staging_texts::unchanged());
        }
    }
    disk::WholeFile marker(markerPath(m_path));
    if (!marker.open() || !marker.write(markerText(plan)) || !marker.commit(true))
        throw UserError(marker.failureText() + QLatin1Char(' ') + staging_texts::unchanged());
    m_marked = true;
    finish(m_path, m_workDir, plan);
}

void StagingArea::finish(const QString &stagingDir, const QString &workDir, const Plan &plan)
{
    const QDir work(workDir);
    const QDir staging(stagingDir);
    // Renames first: a table already renamed by an earlier attempt is no longer staged.
    for (const QString &name : plan.replace) {
        const QString from = staging.filePath(name);
        if (!QFileInfo::exists(from))
            continue;
        if (const int error = disk::replaceByRename(from, work.filePath(name)))
            throw UserError(unfinishedText(workDir, name + QStringLiteral(": ") + disk::reason(error)));
        if (afterRename)
            afterRename(name);
    }
    for (const QString &name : plan.remove) {
        if (const int error = disk::removeFile(work.filePath(name)))
            throw UserError(unfinishedText(workDir, name + QStringLiteral(": ") + disk::reason(error)));
    }
    if (const int error = disk::syncFolder(workDir))
        throw UserError(unfinishedText(workDir, disk::reason(error)));
    // The marker goes first: a stop now leaves a folder without it, which is removed.
    disk::removeFile(markerPath(stagingDir));
    QDir(stagingDir).removeRecursively();
}

QString StagingArea::tidyUp(const QString &workDir, const QStringList &tableNames)
{
    const QDir work(workDir);
    const QStringList folders = work.entryList(
        {folderPrefix() + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    QStringList setAside;
    for (const QString &folder : folders) {
        const QString path = work.filePath(folder);
        if (OwnerMark::heldByLiveRun(QDir(path).filePath(ownerName())))
            continue; // a live run's, whose lock file was lost: never touched
        if (!QFileInfo::exists(markerPath(path))) {
            QDir(path).removeRecursively(); // what a stopped run left; kept if it cannot go
            continue;
        }
        QString why;
        QStringList named;
        if (const std::optional<Plan> plan = checkedMarker(path, workDir, tableNames, why, named)) {
            finish(path, workDir, *plan);
            continue;
        }
        // Renamed, so that no run obeys it again; without the rename the marker goes.
        const QString aside = work.filePath(setAsidePrefix() + folder.mid(folderPrefix().size()));
        if (!QDir().rename(path, aside))
            disk::removeFile(markerPath(path));
        setAside << setAsideText(workDir, why, QDir().exists(aside) ? aside : path, named);
    }
    return setAside.join(QLatin1Char(' '));
}
