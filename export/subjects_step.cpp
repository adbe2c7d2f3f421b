// Step 3: writes ASIGNOMT.DBF (one record per distinct subject, under a unique
// short code) and ASIGNOMT2.DBF (every subject identifier and course key pair with
// its subject's code) from the Séneca group MATERIAS.
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"

#include "common/stored_text.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "export/subject_code_derivation.h"
#include "export/subject_codes.h"
#include "export/subject_entry.h"

namespace {

// The codes the school's reference table gives a subject name: the first record
// whose NOMBRE holds the name, as a walk from the first record would find it.
class ReferenceSubjects {
public:
    explicit ReferenceSubjects(const QString &path)
        : m_table(path)
    {
        m_table.open(dbf::Table::Access::ReadShared);
        m_name = m_table.fieldIndex(QStringLiteral("NOMBRE"));
        m_code = m_table.fieldIndex(QStringLiteral("COD"));
        m_longCode = m_table.fieldIndex(QStringLiteral("CODLARGO"));
        m_byName.emplace(m_table, std::vector<int>{m_name});
    }
    // The index points into the table.
    ReferenceSubjects(const ReferenceSubjects &) = delete;
    ReferenceSubjects &operator=(const ReferenceSubjects &) = delete;

    SubjectCodes codesFor(const QString &name) const
    {
        if (m_table.recordCount() == 0) // a school without a reference table of its own
            return {};
        const int row = m_byName->first({storedText(name, m_table.field(m_name))});
        if (row < 0)
            return {};
        return {m_table.text(row, m_code), m_table.text(row, m_longCode)};
    }

private:
    dbf::Table m_table;
    int m_name = -1;
    int m_code = -1;
    int m_longCode = -1;
    std::optional<dbf::Index> m_byName;
};

QString nameMissingNote(int recordNumber, const SubjectEntry &entry)
{
    return QStringLiteral("La materia %1 del grupo MATERIAS (curso %2, identificador %3) no tiene nombre: "
                          "no se exporta.")
        .arg(recordNumber)
        .arg(entry.courseKey, entry.identifier);
}

QString noCodeLeftText(const QString &name, const QString &code)
{
    return QStringLiteral("No queda ningún código libre de 10 caracteres para la materia «%1»: todas las "
                          "variantes del código %2 están ya dadas a otras materias. Dé a estas materias códigos "
                          "propios en SENEMATERIAS.DBF.")
        .arg(name, code);
}

} // namespace

void ExportRun::buildSubjectsTables()
{
    const QString subjectsPath = workPath(subjects_table::fileName());
    const QString offersPath = workPath(subject_offers_table::fileName());
    dbf::removeTableFiles(subjectsPath);
    dbf::createTable(subjectsPath, subjects_table::layout());
    dbf::removeTableFiles(offersPath);
    dbf::createTable(offersPath, subject_offers_table::layout());
    noteTableWritten(subjects_table::fileName());
    noteTableWritten(subject_offers_table::fileName());

    const ReferenceSubjects reference(session().materiasTablePath());
    if (!codeLists)
        codeLists = std::make_unique<SubjectCodeLists>();
    SubjectCodeLists &lists = *codeLists;

    dbf::Table subjects(subjectsPath);
    subjects.open();
    subjects.batchPosts();
    const int subjectCode = subjects.fieldIndex(QStringLiteral("COD"));
    const int subjectLongCode = subjects.fieldIndex(QStringLiteral("CODLARGO"));
    const int subjectName = subjects.fieldIndex(QStringLiteral("NOMBRE"));
    const int subjectIsTask = subjects.fieldIndex(QStringLiteral("ESTAREA"));
    const int subjectFlags = subjects.fieldIndex(QStringLiteral("R_UNI_MAT"));
    // Stands for the search of the first subject with a long code and a name; values
    // are looked up as the fields store them (stored_text.h).
    dbf::Index subjectsByLongCodeAndName(subjects, {subjectLongCode, subjectName});

    dbf::Table offers(offersPath);
    offers.open();
    offers.batchPosts();
    const int offerCode = offers.fieldIndex(QStringLiteral("COD"));
    const int offerLongCode = offers.fieldIndex(QStringLiteral("CODLARGO"));
    const int offerName = offers.fieldIndex(QStringLiteral("NOMBRE"));
    const int offerSubject = offers.fieldIndex(QStringLiteral("MATERIA"));
    const int offerCourse = offers.fieldIndex(QStringLiteral("OFERTAMATRI"));
    const int offerIsTask = offers.fieldIndex(QStringLiteral("ESTAREA"));
    // Stands for the search of a pair already recorded.
    dbf::Index offersBySubjectAndCourse(offers, {offerSubject, offerCourse});

    const auto appendOffer = [&](const QString &code, const QString &longCode, const SubjectEntry &entry) {
        const int row = offers.appendBlank();
        offers.setText(row, offerCode, code);
        offers.setText(row, offerLongCode, longCode);
        offers.setText(row, offerName, entry.name);
        offers.setText(row, offerSubject, entry.identifier);
        offers.setText(row, offerCourse, entry.courseKey);
        offers.setLogical(row, offerIsTask, false);
        offers.post(row);
        offersBySubjectAndCourse.add(row);
    };

    for (const NumberedSubjectEntry &numbered : subjectEntries()) {
        const SubjectEntry &entry = numbered.entry;
        if (numbered.tooFewValues) {
            skippedRecords.add(QStringLiteral("MATERIAS"), numbered.recordNumber, 2);
            continue;
        }
        // A subject without a name cannot be taught, and a code derived from
        // nothing would be empty; step 8 skips the same entries.
        if (entry.name.isEmpty()) {
            ui().note(nameMissingNote(numbered.recordNumber, entry));
            continue;
        }
        SubjectCodes codes = deriveSubjectCodes(entry.name, reference.codesFor(entry.name));

        if (!lists.knows(entry.name, codes.longCode)) {
            lists.remember(entry.name, codes.longCode);
            // Told apart as the field stores them: two codes never become one on disk.
            const std::optional<QString> code = lists.issue(storedText(codes.code, subjects.field(subjectCode)));
            if (!code)
                throw UserError(noCodeLeftText(entry.name, codes.code));
            const int row = subjects.appendBlank();
            subjects.setText(row, subjectCode, *code);
            subjects.setText(row, subjectLongCode, codes.longCode);
            subjects.setText(row, subjectName, entry.name);
            subjects.setLogical(row, subjectIsTask, false);
            subjects.setText(row, subjectFlags, QString());
            subjects.post(row);
            subjectsByLongCodeAndName.add(row);
            appendOffer(*code, codes.longCode, entry);
            continue;
        }

        const QStringList pair = {storedText(entry.identifier, offers.field(offerSubject)),
            storedText(entry.courseKey, offers.field(offerCourse))};
        if (offersBySubjectAndCourse.first(pair) >= 0)
            continue;
        const int subjectRow
            = subjectsByLongCodeAndName.first({storedText(codes.longCode, subjects.field(subjectLongCode)),
                storedText(entry.name, subjects.field(subjectName))});
        if (subjectRow >= 0)
            appendOffer(subjects.text(subjectRow, subjectCode), codes.longCode, entry);
    }
    offers.close();
    subjects.close();
}
