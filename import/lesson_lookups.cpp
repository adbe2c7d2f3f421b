// Builds the lookups of a regular lesson in one pass over each table, keeping for
// every key the record the corresponding walk would find.
#include "import/lesson_lookups.h"

#include "common/clipper.h"
#include "import/import_tables.h"

namespace {

int fieldOf(const dbf::Table &table, const char *name)
{
    return table.fieldIndex(QLatin1String(name));
}

// Files the row under its key unless an earlier row holds the key already.
template <typename Hash, typename Key, typename Value> void keepFirst(Hash &hash, const Key &key, const Value &value)
{
    if (!hash.contains(key))
        hash.insert(key, value);
}

} // namespace

FirstByText::FirstByText(const dbf::Table &table, const char *field)
{
    const int index = fieldOf(table, field);
    const std::vector<int> rows = table.liveRows();
    m_rows.reserve(rows.size());
    for (int row : rows)
        m_rows.emplace(table.text(row, index), row);
}

FirstByText::FirstByText(const dbf::Table &table, const char *first, const char *second)
{
    const int firstIndex = fieldOf(table, first);
    const int secondIndex = fieldOf(table, second);
    const std::vector<int> rows = table.liveRows();
    m_pairs.reserve(qsizetype(rows.size()));
    for (int row : rows)
        keepFirst(m_pairs, TextPair{table.text(row, firstIndex), table.text(row, secondIndex)}, row);
}

AssignmentIndex::AssignmentIndex(const dbf::Table &assignments)
    : subjectKeyField(fieldOf(assignments, "CLAVE"))
    , courseKeyField(fieldOf(assignments, "CLAVECURSO"))
    , levelField(fieldOf(assignments, "X_NIVCONPAGLEG"))
{
    const int subjectField = fieldOf(assignments, "CASIG");
    const int groupField = fieldOf(assignments, "CGRUP");
    const std::vector<int> rows = assignments.liveRows();
    m_rows.reserve(qsizetype(rows.size()));
    for (int row : rows) {
        Match &match = m_rows[TextPair{assignments.text(row, subjectField), assignments.text(row, groupField)}];
        if (match.hasLevel)
            continue; // the walk stopped at an earlier record
        match.row = row;
        match.hasLevel = !assignments.text(row, levelField).isEmpty();
    }
}

int AssignmentIndex::firstWithLevelElseLast(const QString &subject, const QString &group) const
{
    const auto found = m_rows.constFind(TextPair{subject, group});
    return found == m_rows.constEnd() ? -1 : found->row;
}

AuthorisationIndex::AuthorisationIndex(const dbf::Table &authorisations)
{
    const int codeField = fieldOf(authorisations, "X_ORIHORACTETP");
    const int activityField = fieldOf(authorisations, "X_ACTIVIDAD");
    const int categoryField = fieldOf(authorisations, "X_CATORIHOR");
    const int levelField = fieldOf(authorisations, "X_NIVCONPAGLEG");
    for (int row : authorisations.liveRows()) {
        // An empty (null) field equals no number, so such a record is never found.
        Key key{};
        if (!clipper::parseWholeNumber(authorisations.text(row, activityField), key.activity)
            || !clipper::parseWholeNumber(authorisations.text(row, categoryField), key.category)
            || !clipper::parseWholeNumber(authorisations.text(row, levelField), key.level))
            continue;
        keepFirst(m_codes, key, authorisations.text(row, codeField));
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
    , subjectByCode(tables.subjects, "COD")
    , subjectByTask(tables.subjects, "CODTAREA")
    , offerBySubject(tables.subjectOffers, "COD", "OFERTAMATRI")
    , groupByCode(tables.groups, "ABREV")
    , taskOfSubject(tables.subjects, "CODTAREA")
    , requirement(tables.subjects, "R_UNI_MAT")
    , offerSubjectKey(tables.subjectOffers, "MATERIA")
    , groupKey(tables.groups, "CLAVE")
    , groupCourseKey(tables.groups, "CLAVECURSO")
{
    if (tables.catalogues()) {
        originByCode.emplace(tables.origins, "C_ORIHOR");
        originCategory.emplace(tables.origins, "X_CATORIHOR");
        authorisations = AuthorisationIndex(tables.authorisations);
    }
}
