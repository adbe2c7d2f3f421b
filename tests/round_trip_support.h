#pragma once
// Runs the programs of a round trip for the end-to-end tests: the school
// generator, transhoravo export and import, and the stand-in timetabler, each as
// its own process from the build's bin folder, always in a temporary folder.

#include "common/dbf_table.h"
#include "common/exchange_document.h"
#include "import/import_run.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace round_trip {

struct ToolRun {
    int status = -1; // -1 when the program did not end normally
    QString out;
    QString err;
    QString describe() const { return QStringLiteral("status %1\n%2\n%3").arg(status).arg(out, err); }
};

inline QString binary(const char *name)
{
    return QStringLiteral(HORAVO_BIN_DIR "/") + QString::fromLatin1(name);
}

inline ToolRun runTool(const char *name, const QStringList &arguments)
{
    QProcess process;
    process.start(binary(name), arguments);
    if (!process.waitForStarted(30000))
        return {-1, QString(), QStringLiteral("%1 no arrancó").arg(binary(name))};
    process.waitForFinished(300000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// The four files of a school, with the two XML files in a folder of their own,
// because the import writes its document beside the Séneca file.
struct School {
    QString seneca, planning, levels, frames;
};

inline QString frameCodes(const School &school)
{
    QFile file(school.frames);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
}

// The bundled example school, its XML files copied into dir/seneca.
inline School exampleSchool(const QString &dir)
{
    const QDir examples(QStringLiteral(HORAVO_SOURCE_DIR "/examples"));
    const QString target = QDir(dir).filePath(QStringLiteral("seneca"));
    QDir().mkpath(target);
    School school{QDir(target).filePath(QStringLiteral("seneca.xml")),
        QDir(target).filePath(QStringLiteral("planificacion.xml")), examples.filePath(QStringLiteral("niveles.csv")),
        examples.filePath(QStringLiteral("marcos.txt"))};
    QFile::copy(examples.filePath(QStringLiteral("seneca.xml")), school.seneca);
    QFile::copy(examples.filePath(QStringLiteral("planificacion.xml")), school.planning);
    return school;
}

// A generated school in dir/seneca.
inline School generatedSchool(const QString &dir, double scale, int seed, ToolRun *run = nullptr)
{
    const QString target = QDir(dir).filePath(QStringLiteral("seneca"));
    const ToolRun generated = runTool("school_generator",
        {QStringLiteral("--seed"), QString::number(seed), QStringLiteral("--scale"), QString::number(scale),
            QStringLiteral("--out"), target});
    if (run)
        *run = generated;
    const QDir out(target);
    return {out.filePath(QStringLiteral("seneca.xml")), out.filePath(QStringLiteral("planificacion.xml")),
        out.filePath(QStringLiteral("niveles.csv")), out.filePath(QStringLiteral("marcos.txt"))};
}

inline ToolRun exportSchool(const School &school, const QString &ktemp)
{
    return runTool("transhoravo",
        {QStringLiteral("export"), QStringLiteral("--seneca"), school.seneca, QStringLiteral("--planning"),
            school.planning, QStringLiteral("--ktemp"), ktemp, QStringLiteral("--levels"), school.levels,
            QStringLiteral("--frames"), frameCodes(school)});
}

inline ToolRun placeLessons(const QString &ktemp, int seed = 1)
{
    return runTool(
        "standin_timetabler", {QStringLiteral("--ktemp"), ktemp, QStringLiteral("--seed"), QString::number(seed)});
}

inline ToolRun importSchool(const School &school, const QString &ktemp)
{
    return runTool("transhoravo",
        {QStringLiteral("import"), QStringLiteral("--seneca"), school.seneca, QStringLiteral("--ktemp"), ktemp});
}

// The document the import writes beside the school's Séneca file.
inline QString importedDocument(const School &school)
{
    return ImportRun::defaultOutputPath(school.seneca);
}

// The number the stand-in reports as lessons it could not place.
inline int skippedLessons(const ToolRun &run)
{
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("(\\d+) sesiones sin colocar")).match(run.out);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// A table read whole: one map of field name to text per live record.
using Record = QHash<QString, QString>;
inline std::vector<Record> readTable(const QString &path)
{
    dbf::Table table(path);
    table.open(dbf::Table::Access::ReadShared);
    std::vector<Record> records;
    for (int row : table.liveRows()) {
        Record record;
        for (int f = 0; f < table.fieldCount(); ++f)
            record.insert(table.field(f).name, table.text(row, f));
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace round_trip
