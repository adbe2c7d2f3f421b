#pragma once
// The lookups a regular lesson makes in ASIGT, ASIGNOMT, ASIGNOMT2, GRUPOST and the
// catalogues, built once per run. Each stands for a walk (or a locate) from the
// table's first record and returns exactly the record that walk would stop at.
// Values are compared as the table engine reads them: character fields without
// their trailing spaces, exact and case-sensitive otherwise.

#include "common/dbf_table.h"
#include "common/text_hash.h"
#include "import/field_texts.h"

#include <QHash>
#include <QString>

#include <optional>

class ImportTables;

// Two texts as one key.
struct TextPair {
    QString first;
    QString second;
    bool operator==(const TextPair &) const = default;
};
// Hashed as TextHash hashes its keys, for the same reason.
inline size_t qHash(const TextPair &key, size_t seed = 0)
{
    const text_hash::Hash hash;
    return seed ^ (hash(key.first) * 31 + hash(key.second));
}

// The first record whose fields hold the given texts: the walk that stops at the
// first match, and equally the engine's locate on character fields.
class FirstByText {
public:
    FirstByText(const dbf::Table &table, const char *field);
    FirstByText(const dbf::Table &table, const char *first, const char *second);
    int first(const QString &value) const { return m_rows.value(value, -1); }
    int first(const QString &firstText, const QString &secondText) const
    {
        return m_pairs.value(TextPair{firstText, secondText}, -1);
    }

private:
    TextHash<int> m_rows; // by one field
    QHash<TextPair, int> m_pairs; // by two fields
};

// ASIGT by CASIG and CGRUP. The walk takes every matching record in turn and
// stops at the first one whose X_NIVCONPAGLEG is not empty; when none has one,
// the last matching record is what it leaves behind.
class AssignmentIndex {
public:
    explicit AssignmentIndex(const dbf::Table &assignments);
    int firstWithLevelElseLast(const QString &subject, const QString &group) const;

    int subjectKeyField = -1; // CLAVE
    int courseKeyField = -1; // CLAVECURSO
    int levelField = -1; // X_NIVCONPAGLEG

private:
    struct Match {
        int row = -1;
        bool hasLevel = false;
    };
    QHash<TextPair, Match> m_rows;
};

// AUTORIZA_C by X_ACTIVIDAD, X_CATORIHOR and X_NIVCONPAGLEG, all integer fields:
// the engine's locate reads the search texts as whole numbers, so a text that is
// not one matches no record.
class AuthorisationIndex {
public:
    AuthorisationIndex() = default;
    explicit AuthorisationIndex(const dbf::Table &authorisations);
    // The first matching record's X_ORIHORACTETP as text; nothing when none matches.
    std::optional<QString> codeFor(const QString &activity, const QString &category, const QString &level) const;

private:
    struct Key {
        int activity;
        int category;
        int level;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed) { return qHashMulti(seed, key.activity, key.category, key.level); }
    QHash<Key, QString> m_codes;
};

// Every lookup of a regular lesson, with the fields that give the results.
struct LessonLookups {
    explicit LessonLookups(const ImportTables &tables);

    AssignmentIndex assignments; // ASIGT
    FirstByText subjectByCode; // ASIGNOMT by COD (walk)
    FirstByText subjectByTask; // ASIGNOMT by CODTAREA (locate)
    FirstByText offerBySubject; // ASIGNOMT2 by COD and OFERTAMATRI (locate)
    FirstByText groupByCode; // GRUPOST by ABREV (walk)
    FieldTexts taskOfSubject; // ASIGNOMT.CODTAREA
    FieldTexts requirement; // ASIGNOMT.R_UNI_MAT
    FieldTexts offerSubjectKey; // ASIGNOMT2.MATERIA
    FieldTexts groupKey; // GRUPOST.CLAVE
    FieldTexts groupCourseKey; // GRUPOST.CLAVECURSO

    // Only with the catalogues.
    std::optional<FirstByText> originByCode; // ORIGENES_C by C_ORIHOR (locate)
    std::optional<FieldTexts> originCategory; // ORIGENES_C.X_CATORIHOR
    AuthorisationIndex authorisations; // AUTORIZA_C
};
