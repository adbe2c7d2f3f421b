#pragma once
// A good timetable document to plant faults in: the example school's round trip
// (export, the stand-in timetabler, import) made once per test program, from a
// copy of its Séneca export without the reference catalogues. The example leaves
// some lessons without an authorisation on purpose (Religión carries no origin,
// one reinforcement in Bachillerato has none); without the catalogues no record
// carries an authorisation and none is expected, so the document is clean.
#include "round_trip_support.h"

#include <QFile>
#include <QRegularExpression>

namespace check_fixture {

using round_trip::ToolRun;

struct GoodSchool {
    QString senecaWithoutCatalogues; // the export the good document was made from
    QString senecaWithCatalogues; // the example's export as it is
    QString document; // the import's document
    QString importOut, importErr; // what the import printed
    QString failure; // why the fixture could not be made; empty when it was
};

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The example's export without ORIGENES, NIVELES, CURSOS_NIVELES and AUTORIZACIONES
// (the last groups of the file).
inline QByteArray withoutCatalogues(const QByteArray &seneca)
{
    const qsizetype from = seneca.indexOf("<grupo_datos seq=\"ORIGENES\"");
    const qsizetype to = seneca.indexOf("</BLOQUE_DATOS>");
    if (from < 0 || to < from)
        return QByteArray();
    QByteArray out = seneca;
    out.remove(from, to - from);
    return out;
}

inline const GoodSchool &goodSchool()
{
    static QTemporaryDir dir;
    static const GoodSchool school = [] {
        GoodSchool made;
        const round_trip::School example = round_trip::exampleSchool(dir.path());
        made.senecaWithCatalogues = QDir(dir.path()).filePath(QStringLiteral("seneca-completo.xml"));
        QFile::copy(example.seneca, made.senecaWithCatalogues);
        const QByteArray stripped = withoutCatalogues(readAll(example.seneca));
        if (stripped.isEmpty() || !writeAll(example.seneca, stripped)) {
            made.failure = QStringLiteral("no se pudo preparar la copia del archivo de Séneca");
            return made;
        }
        made.senecaWithoutCatalogues = example.seneca;
        const QString ktemp = QDir(dir.path()).filePath(QStringLiteral("KTEMP"));
        for (const ToolRun &run : {round_trip::exportSchool(example, ktemp), round_trip::placeLessons(ktemp),
                 round_trip::importSchool(example, ktemp)}) {
            if (run.status != 0) {
                made.failure = run.describe();
                return made;
            }
            made.importOut = run.out;
            made.importErr = run.err;
        }
        made.document = round_trip::importedDocument(example);
        return made;
    }();
    return school;
}

// The span of one record group (or of a teacher group when record is empty) in
// a document written on one line, as the import writes it.
struct Span {
    qsizetype begin = -1, end = -1;
};

inline Span groupSpan(const QByteArray &doc, const QString &group, const QString &record)
{
    const QByteArray teacherTag = "<grupo_datos seq=\"" + group.toLatin1() + "\"";
    const qsizetype teacher = doc.indexOf(teacherTag);
    if (teacher < 0)
        return {};
    if (record.isEmpty()) {
        const qsizetype firstRecord = doc.indexOf("<grupo_datos seq=\"ACTIVIDAD_", teacher + 1);
        const qsizetype close = doc.indexOf("</grupo_datos>", teacher);
        return {teacher, firstRecord >= 0 && firstRecord < close ? firstRecord : close};
    }
    const qsizetype begin = doc.indexOf("<grupo_datos seq=\"" + record.toLatin1() + "\"", teacher);
    if (begin < 0)
        return {};
    const qsizetype close = doc.indexOf("</grupo_datos>", begin);
    return {begin, close + qsizetype(sizeof("</grupo_datos>")) - 1};
}

// Sets a dato of a record (or teacher group) to a value.
inline bool setDato(
    QByteArray &doc, const QString &group, const QString &record, const char *name, const QString &value)
{
    const Span span = groupSpan(doc, group, record);
    if (span.begin < 0)
        return false;
    QString part = QString::fromLatin1(doc.mid(span.begin, span.end - span.begin));
    const QRegularExpression dato(
        QStringLiteral("<dato nombre_dato=\"%1\"(?:/>|>[^<]*</dato>)").arg(QLatin1String(name)));
    if (!part.contains(dato))
        return false;
    part.replace(dato, QStringLiteral("<dato nombre_dato=\"%1\">%2</dato>").arg(QLatin1String(name), value));
    doc.replace(span.begin, span.end - span.begin, part.toLatin1());
    return true;
}

inline QString datoOf(const QByteArray &doc, const QString &group, const QString &record, const char *name)
{
    const Span span = groupSpan(doc, group, record);
    if (span.begin < 0)
        return QString();
    const QString part = QString::fromLatin1(doc.mid(span.begin, span.end - span.begin));
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("<dato nombre_dato=\"%1\">([^<]*)</dato>").arg(QLatin1String(name)))
              .match(part);
    return match.hasMatch() ? match.captured(1) : QString();
}

// Appends a copy of a record to its teacher group as a new record, changed by
// `change`, and counts it in the group's registros.
template <typename Change>
bool addCopy(QByteArray &doc, const QString &group, const QString &record, const QString &newRecord, Change change)
{
    const Span span = groupSpan(doc, group, record);
    if (span.begin < 0)
        return false;
    QByteArray copy = doc.mid(span.begin, span.end - span.begin);
    copy.replace("seq=\"" + record.toLatin1() + "\"", "seq=\"" + newRecord.toLatin1() + "\"");
    change(copy);
    doc.insert(span.end, copy);
    const QRegularExpression registros(
        QStringLiteral("<grupo_datos seq=\"%1\" registros=\"(\\d+)\"").arg(QRegularExpression::escape(group)));
    QString text = QString::fromLatin1(doc);
    const QRegularExpressionMatch match = registros.match(text);
    if (!match.hasMatch())
        return false;
    text.replace(match.capturedStart(1), match.capturedLength(1), QString::number(match.captured(1).toInt() + 1));
    doc = text.toLatin1();
    return true;
}

} // namespace check_fixture
