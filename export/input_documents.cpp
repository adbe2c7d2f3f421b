#include "export/input_documents.h"

#include "common/user_error.h"
#include "export/planning_document.h"
#include "export/seneca_groups.h"
#include "import/timetable_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <libxml/parser.h>

#include <algorithm>
#include <future>

namespace {

QString swappedHint()
{
    return QStringLiteral(" Puede que haya elegido los dos archivos al revés. No se ha cambiado ninguna tabla.");
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QStringList seqsOf(const ExchangeDocument &document)
{
    QStringList seqs;
    if (const ExchangeValues *values = document.values()) {
        for (const ExchangeValuesGroup &group : values->groups())
            seqs << group.seq;
    } else {
        for (xml::Node group : document.topLevelGroups())
            seqs << xml::attribute(group, "seq");
    }
    return seqs;
}

// A timetable document, the import's own output or another program's: its
// module is HORARIOS, or it holds a timetable section.
bool isTimetableDocument(const QString &module, const QStringList &seqs)
{
    return module.trimmed().compare(QLatin1String(timetable_names::module), Qt::CaseInsensitive) == 0
        || seqs.contains(QLatin1String(timetable_names::regularSection))
        || seqs.contains(QLatin1String(timetable_names::nonRegularSection));
}

void refuseTimetableDocument(const QString &path, const QString &chosenAs)
{
    throw UserError(QStringLiteral("El archivo %1, elegido como fichero de %2, parece un documento de horarios para "
                                   "subir a Séneca (como el que escribe la importación de este programa), no un "
                                   "archivo descargado de %2. Elija el archivo que descargó. No se ha cambiado "
                                   "ninguna tabla.")
                        .arg(native(path), chosenAs));
}

bool sameBytes(const QString &first, const QString &second)
{
    QFile a(first);
    QFile b(second);
    if (a.size() != b.size() || !a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 chunk = 1 << 20;
    while (!a.atEnd()) {
        if (a.read(chunk) != b.read(chunk))
            return false;
    }
    return true;
}

} // namespace

void checkNotTheSameFile(const QString &senecaPath, const QString &planningPath)
{
    const QFileInfo seneca(senecaPath);
    const QFileInfo planning(planningPath);
    // A file that cannot be read is reported when it is parsed.
    if (!seneca.isFile() || !planning.isFile())
        return;
    if (seneca.canonicalFilePath() == planning.canonicalFilePath()) {
        throw UserError(QStringLiteral("Ha elegido el mismo archivo, %1, como fichero de SÉNECA y como fichero de "
                                       "PLANIFICACIÓN. Elija el archivo que procede de cada programa.")
                            .arg(native(senecaPath))
            + swappedHint());
    }
    if (sameBytes(senecaPath, planningPath)) {
        throw UserError(QStringLiteral("El fichero de SÉNECA, %1, y el de PLANIFICACIÓN, %2, tienen el mismo "
                                       "contenido: uno de los dos no es el que corresponde.")
                            .arg(native(senecaPath), native(planningPath))
            + swappedHint());
    }
}

void checkFilesTellApart(const ExchangeDocument &seneca, const ExchangeValues &planning)
{
    const QStringList seqs = seqsOf(seneca);
    QStringList planningSeqs;
    for (const ExchangeValuesGroup &group : planning.groups())
        planningSeqs << group.seq;
    // Told apart first: a timetable document holds groups that would otherwise
    // make it pass for either file.
    if (isTimetableDocument(seneca.module(), seqs))
        refuseTimetableDocument(seneca.path(), QStringLiteral("SÉNECA"));
    if (isTimetableDocument(planning.module(), planningSeqs))
        refuseTimetableDocument(planning.path(), QStringLiteral("PLANIFICACIÓN"));
    for (const QString &seq : seqs) {
        if (seq.startsWith(planning_document::teacherGroupPrefix())) {
            throw UserError(QStringLiteral("El archivo %1, elegido como fichero de SÉNECA, parece de PLANIFICACIÓN: "
                                           "tiene el grupo %2, con las asignaciones de un profesor.")
                                .arg(native(seneca.path()), seq)
                + swappedHint());
        }
    }
    const bool readsSomething = std::any_of(
        seqs.begin(), seqs.end(), [](const QString &seq) { return seneca_groups::readGroups().contains(seq); });
    if (!readsSomething) {
        throw UserError(QStringLiteral("El archivo %1, elegido como fichero de SÉNECA, no parece de Séneca: no tiene "
                                       "ninguno de los grupos que se leen de él (%2).")
                            .arg(native(seneca.path()), seneca_groups::readGroups().join(QStringLiteral(", ")))
            + swappedHint());
    }
    for (const ExchangeValuesGroup &group : planning.groups()) {
        if (seneca_groups::readGroups().contains(group.seq)) {
            throw UserError(QStringLiteral("El archivo %1, elegido como fichero de PLANIFICACIÓN, parece de Séneca: "
                                           "tiene el grupo %2, que es del fichero de SÉNECA.")
                                .arg(native(planning.path()), group.seq)
                + swappedHint());
        }
    }
    // Planificación gives each teacher's assignments in a group PROFESOR_n; a
    // file with groups but none of those has the shape of neither file.
    const bool hasAssignments = std::any_of(planningSeqs.begin(), planningSeqs.end(),
        [](const QString &seq) { return seq.startsWith(planning_document::teacherGroupPrefix()); });
    if (!planningSeqs.isEmpty() && !hasAssignments) {
        throw UserError(QStringLiteral("El archivo %1, elegido como fichero de PLANIFICACIÓN, no parece de "
                                       "Planificación: no tiene ningún grupo %2 con las asignaciones de un profesor. "
                                       "Elija el archivo que descargó de Planificación. No se ha cambiado ninguna "
                                       "tabla.")
                            .arg(native(planning.path()), planning_document::teacherGroupPrefix()));
    }
}

InputDocuments readInputDocuments(const QString &senecaPath, const QString &planningPath,
    const std::function<void(const ExchangeDocument &)> &whileReadingPlanning)
{
    // Told apart before either is parsed, when the same file was chosen twice.
    checkNotTheSameFile(senecaPath, planningPath);
    // libxml2 sets up its shared tables on the first parse; done here, before two
    // parses run at once.
    xmlInitParser();
    std::future<ExchangeValues> planning
        = std::async(std::launch::async, [planningPath] { return ExchangeValues::read(planningPath); });
    std::optional<ExchangeDocument> seneca;
    try {
        seneca.emplace(ExchangeDocument::read(senecaPath));
        if (whileReadingPlanning)
            whileReadingPlanning(*seneca);
    } catch (...) {
        planning.wait(); // its own error, if any, comes second
        throw;
    }
    InputDocuments documents{std::move(*seneca), planning.get()};
    checkFilesTellApart(documents.seneca, documents.planning);
    return documents;
}
