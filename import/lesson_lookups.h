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
    FirstByText(const dbf::Table &table, QLatin1StringView field);
    FirstByText(const dbf::Table &table, QLatin1StringView first, QLatin1StringView second);
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

    // The fields a lesson takes from the record found.
    int clave = -1;
    int claveCurso = -1;
    int xNivconpagleg = -1;

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

// Every lookup of a regular lesson, with the fields that give the results. Each
// is named for its table and the fields it finds by or reads.
struct LessonLookups {
    explicit LessonLookups(const ImportTables &tables);

    AssignmentIndex assignments; // ASIGT
    FirstByText subjectByCod; // ASIGNOMT (walk)
    FirstByText subjectByCodTarea; // ASIGNOMT (locate)
    FirstByText offerByCodAndOfertaMatri; // ASIGNOMT2 (locate)
    FirstByText groupByAbrev; // GRUPOST (walk)
    FieldTexts subjectCodTarea; // ASIGNOMT
    FieldTexts subjectRUniMat; // ASIGNOMT: an activity's requirement flags
    FieldTexts offerMateria; // ASIGNOMT2
    FieldTexts groupClave; // GRUPOST
    FieldTexts groupClaveCurso; // GRUPOST

    // Only with the catalogues.
    std::optional<FirstByText> originByCOrihor; // ORIGENES_C (locate)
    std::optional<FieldTexts> originXCatorihor; // ORIGENES_C
    AuthorisationIndex authorisations; // AUTORIZA_C
};
