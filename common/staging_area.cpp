#include "common/staging_area.h"

#include "common/dbf_table.h"
#include "common/disk_io.h"
#include "common/system_reason.h"
#include "common/user_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
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

// The marker's lines: "R NAME" a staged table renamed in, "D NAME" a file deleted.
QByteArray markerText(const QStringList &replace, const QStringList &remove)
{
    QByteArray text;
    for (const QString &name : replace)
        text += "R " + name.toUtf8() + '\n';
    for (const QString &name : remove)
        text += "D " + name.toUtf8() + '\n';
    return text;
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

void StagingArea::replace(const Plan &plan)
{
    if (plan.replace.isEmpty() && plan.remove.isEmpty())
        return;
    checkReplaceable(m_workDir, plan.replace + plan.remove);
    // Every staged table whole on disk before the marker says so. The tables are
    // forced all at once: the disk then waits once rather than once per table.
    std::vector<int> errors(std::size_t(plan.replace.size()), 0);
    {
        std::vector<std::thread> syncs;
        for (qsizetype i = 0; i < plan.replace.size(); ++i) {
            syncs.emplace_back(
                [&errors, i, path = writePath(plan.replace[i])] { errors[std::size_t(i)] = disk::syncFile(path); });
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
    if (!marker.open() || !marker.write(markerText(plan.replace, plan.remove)) || !marker.commit(true))
        throw UserError(marker.failureText() + QLatin1Char(' ') + staging_texts::unchanged());
    m_marked = true;
    finish(m_path, m_workDir);
}

void StagingArea::finish(const QString &stagingDir, const QString &workDir)
{
    QFile marker(markerPath(stagingDir));
    if (!marker.open(QIODevice::ReadOnly))
        throw UserError(unfinishedText(workDir, disk::lastReason()));
    const QList<QByteArray> lines = marker.readAll().split('\n');
    marker.close();
    const QDir work(workDir);
    const QDir staging(stagingDir);
    // Renames first: a table already renamed by an earlier attempt is no longer staged.
    for (const QByteArray &line : lines) {
        if (!line.startsWith("R "))
            continue;
        const QString name = QString::fromUtf8(line.mid(2));
        const QString from = staging.filePath(name);
        if (!QFileInfo::exists(from))
            continue;
        if (const int error = disk::replaceByRename(from, work.filePath(name)))
            throw UserError(unfinishedText(workDir, name + QStringLiteral(": ") + disk::reason(error)));
        if (afterRename)
            afterRename(name);
    }
    for (const QByteArray &line : lines) {
        if (!line.startsWith("D "))
            continue;
        const QString name = QString::fromUtf8(line.mid(2));
        if (const int error = disk::removeFile(work.filePath(name)))
            throw UserError(unfinishedText(workDir, name + QStringLiteral(": ") + disk::reason(error)));
    }
    if (const int error = disk::syncFolder(workDir))
        throw UserError(unfinishedText(workDir, disk::reason(error)));
    // The marker goes first: a stop now leaves a folder without it, which is removed.
    disk::removeFile(markerPath(stagingDir));
    QDir(stagingDir).removeRecursively();
}

void StagingArea::tidyUp(const QString &workDir)
{
    const QDir work(workDir);
    const QStringList folders = work.entryList(
        {folderPrefix() + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &folder : folders) {
        const QString path = work.filePath(folder);
        if (QFileInfo::exists(markerPath(path)))
            finish(path, workDir);
        else
            QDir(path).removeRecursively(); // what a stopped run left; kept if it cannot go
    }
}
