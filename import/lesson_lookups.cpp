// Builds the lookups of a regular lesson in one pass over each table, keeping for
// every key the record the corresponding walk would find.
#include "import/lesson_lookups.h"

#include "common/clipper.h"
#include "export/assignments_table.h"
#include "export/authorisations_table.h"
#include "export/groups_table.h"
#include "export/origins_table.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"
#include "import/import_tables.h"

namespace {

// Files the row under its key unless an earlier row holds the key already.
template <typename Hash, typename Key, typename Value> void keepFirst(Hash &hash, const Key &key, const Value &value)
{
    if (!hash.contains(key))
        hash.insert(key, value);
}

} // namespace

FirstByText::FirstByText(const dbf::Table &table, QLatin1StringView field)
{
    const int index = table.fieldIndex(field);
    const std::vector<int> rows = table.liveRows();
    m_rows.reserve(rows.size());
    for (int row : rows)
        m_rows.emplace(table.text(row, index), row);
}

FirstByText::FirstByText(const dbf::Table &table, QLatin1StringView first, QLatin1StringView second)
{
    const int firstIndex = table.fieldIndex(first);
    const int secondIndex = table.fieldIndex(second);
    const std::vector<int> rows = table.liveRows();
    m_pairs.reserve(qsizetype(rows.size()));
    for (int row : rows)
        keepFirst(m_pairs, TextPair{table.text(row, firstIndex), table.text(row, secondIndex)}, row);
}

AssignmentIndex::AssignmentIndex(const dbf::Table &assignments)
    : clave(assignments.fieldIndex(assignments_table::clave))
    , claveCurso(assignments.fieldIndex(assignments_table::claveCurso))
    , xNivconpagleg(assignments.fieldIndex(assignments_table::xNivconpagleg))
{
    const int casig = assignments.fieldIndex(assignments_table::casig);
    const int cgrup = assignments.fieldIndex(assignments_table::cgrup);
    const std::vector<int> rows = assignments.liveRows();
    m_rows.reserve(qsizetype(rows.size()));
    for (int row : rows) {
        Match &match = m_rows[TextPair{assignments.text(row, casig), assignments.text(row, cgrup)}];
        if (match.hasLevel)
            continue; // the walk stopped at an earlier record
        match.row = row;
        match.hasLevel = !assignments.text(row, xNivconpagleg).isEmpty();
    }
}

int AssignmentIndex::firstWithLevelElseLast(const QString &subject, const QString &group) const
{
    const auto found = m_rows.constFind(TextPair{subject, group});
    return found == m_rows.constEnd() ? -1 : found->row;
}

AuthorisationIndex::AuthorisationIndex(const dbf::Table &authorisations)
{
    const int xOrihoractetp = authorisations.fieldIndex(authorisations_table::xOrihoractetp);
    const int xActividad = authorisations.fieldIndex(authorisations_table::xActividad);
    const int xCatorihor = authorisations.fieldIndex(authorisations_table::xCatorihor);
    const int xNivconpagleg = authorisations.fieldIndex(authorisations_table::xNivconpagleg);
    for (int row : authorisations.liveRows()) {
        // An empty (null) field equals no number, so such a record is never found.
        Key key{};
        if (!clipper::parseWholeNumber(authorisations.text(row, xActividad), key.activity)
            || !clipper::parseWholeNumber(authorisations.text(row, xCatorihor), key.category)
            || !clipper::parseWholeNumber(authorisations.text(row, xNivconpagleg), key.level))
            continue;
        keepFirst(m_codes, key, authorisations.text(row, xOrihoractetp));
    }
}

std::optional<QString> AuthorisationIndex::codeFor(
    const QString &activity, const QString &category, const QString &level) const
{
    Key key{};
    if (!clipper::parseWholeNumber(activity, key.activity) || !clipper::parseWholeNumber(category, key.category)
        || !clipper::parseWholeNumber(level, key.level))
        return std::nullopt;
    const auto found = m_codes.constFind(key);
    if (found == m_codes.constEnd())
        return std::nullopt;
    return *found;
}

LessonLookups::LessonLookups(const ImportTables &tables)
    : assignments(tables.assignments)
    , subjectByCod(tables.subjects, subjects_table::cod)
    , subjectByCodTarea(tables.subjects, subjects_table::codTarea)
    , offerByCodAndOfertaMatri(tables.subjectOffers, subject_offers_table::cod, subject_offers_table::ofertaMatri)
    , groupByAbrev(tables.groups, groups_table::abrev)
    , subjectCodTarea(tables.subjects, subjects_table::codTarea)
    , subjectRUniMat(tables.subjects, subjects_table::rUniMat)
    , offerMateria(tables.subjectOffers, subject_offers_table::materia)
    , groupClave(tables.groups, groups_table::clave)
    , groupClaveCurso(tables.groups, groups_table::claveCurso)
{
    if (tables.catalogues()) {
        originByCOrihor.emplace(tables.origins, origins_table::cOrihor);
        originXCatorihor.emplace(tables.origins, origins_table::xCatorihor);
        authorisations = AuthorisationIndex(tables.authorisations);
    }
}
