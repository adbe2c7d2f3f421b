// Step 3: writes ASIGNOMT.DBF (one record per distinct subject, under a unique
// short code) and ASIGNOMT2.DBF (every subject identifier and course key pair with
// its subject's code) from the Séneca group MATERIAS.
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"

#include "common/stored_text.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "export/seneca_groups.h"
#include "export/subject_code_derivation.h"
#include "export/subject_codes.h"
#include "export/subject_entry.h"

namespace {

// The codes the school's reference table gives a subject name: the first record
// whose NOMBRE holds the name, as a walk from the first record would find it. The
// reference table names its fields as ASIGNOMT.DBF does.
class ReferenceSubjects {
public:
    explicit ReferenceSubjects(const QString &path)
        : m_table(path)
    {
        m_table.open(dbf::Table::Access::ReadShared);
        m_nombre = m_table.fieldIndex(subjects_table::nombre);
        m_cod = m_table.fieldIndex(subjects_table::cod);
        m_codLargo = m_table.fieldIndex(subjects_table::codLargo);
        m_byNombre.emplace(m_table, std::vector<int>{m_nombre});
    }
    // The index points into the table.
    ReferenceSubjects(const ReferenceSubjects &) = delete;
    ReferenceSubjects &operator=(const ReferenceSubjects &) = delete;

    SubjectCodes codesFor(const QString &name) const
    {
        if (m_table.recordCount() == 0) // a school without a reference table of its own
            return {};
        const int row = m_byNombre->first({storedText(name, m_table.field(m_nombre))});
        if (row < 0)
            return {};
        return {m_table.text(row, m_cod), m_table.text(row, m_codLargo)};
    }

private:
    dbf::Table m_table;
    int m_nombre = -1;
    int m_cod = -1;
    int m_codLargo = -1;
    std::optional<dbf::Index> m_byNombre;
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
    const int subjectCod = subjects.fieldIndex(subjects_table::cod);
    const int subjectCodLargo = subjects.fieldIndex(subjects_table::codLargo);
    const int subjectNombre = subjects.fieldIndex(subjects_table::nombre);
    const int subjectEsTarea = subjects.fieldIndex(subjects_table::esTarea);
    const int subjectRUniMat = subjects.fieldIndex(subjects_table::rUniMat);
    // Stands for the search of the first subject with a long code and a name; values
    // are looked up as the fields store them (stored_text.h).
    dbf::Index subjectByCodLargoAndNombre(subjects, {subjectCodLargo, subjectNombre});

    dbf::Table offers(offersPath);
    offers.open();
    offers.batchPosts();
    const int offerCod = offers.fieldIndex(subject_offers_table::cod);
    const int offerCodLargo = offers.fieldIndex(subject_offers_table::codLargo);
    const int offerNombre = offers.fieldIndex(subject_offers_table::nombre);
    const int offerMateria = offers.fieldIndex(subject_offers_table::materia);
    const int offerOfertaMatri = offers.fieldIndex(subject_offers_table::ofertaMatri);
    const int offerEsTarea = offers.fieldIndex(subject_offers_table::esTarea);
    // Stands for the search of a pair already recorded.
    dbf::Index offerByMateriaAndOfertaMatri(offers, {offerMateria, offerOfertaMatri});

    const auto appendOffer = [&](const QString &code, const QString &longCode, const SubjectEntry &entry) {
        const int row = offers.appendBlank();
        offers.setText(row, offerCod, code);
        offers.setText(row, offerCodLargo, longCode);
        offers.setText(row, offerNombre, entry.name);
        offers.setText(row, offerMateria, entry.identifier);
        offers.setText(row, offerOfertaMatri, entry.courseKey);
        offers.setLogical(row, offerEsTarea, false);
        offers.post(row);
        offerByMateriaAndOfertaMatri.add(row);
    };

    for (const NumberedSubjectEntry &numbered : subjectEntries()) {
        const SubjectEntry &entry = numbered.entry;
        if (numbered.tooFewValues) {
            skippedRecords.add(seneca_groups::subjectsGroup(), numbered.recordNumber, 2);
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
            const std::optional<QString> code = lists.issue(storedText(codes.code, subjects.field(subjectCod)));
            if (!code)
                throw UserError(noCodeLeftText(entry.name, codes.code));
            const int row = subjects.appendBlank();
            subjects.setText(row, subjectCod, *code);
            subjects.setText(row, subjectCodLargo, codes.longCode);
            subjects.setText(row, subjectNombre, entry.name);
            subjects.setLogical(row, subjectEsTarea, false);
            subjects.setText(row, subjectRUniMat, QString());
            subjects.post(row);
            subjectByCodLargoAndNombre.add(row);
            appendOffer(*code, codes.longCode, entry);
            continue;
        }

        const QStringList pair = {storedText(entry.identifier, offers.field(offerMateria)),
            storedText(entry.courseKey, offers.field(offerOfertaMatri))};
        if (offerByMateriaAndOfertaMatri.first(pair) >= 0)
            continue;
        const int subjectRow
            = subjectByCodLargoAndNombre.first({storedText(codes.longCode, subjects.field(subjectCodLargo)),
                storedText(entry.name, subjects.field(subjectNombre))});
        if (subjectRow >= 0)
            appendOffer(subjects.text(subjectRow, subjectCod), codes.longCode, entry);
    }
    offers.close();
    subjects.close();
}
