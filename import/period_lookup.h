#pragma once
// The period of a lesson in DIASHORAST.DBF, shared by both timetable sections, and
// the values the sections write from it. The values are worked out once per period
// and kept, since thousands of lessons fall in the same few dozen periods.

#include "common/dbf_table.h"
#include "import/field_texts.h"
#include "import/lesson_lookups.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// Minutes after midnight of a time text such as "08:30": a text of fewer than five
// characters gets one "0" in front, then the hours are the whole number of its first
// two characters and the minutes that of its last two ("8:30" and "08:30" give 510,
// the empty text gives 0). Nothing when either part is not a whole number; badPart
// then holds it.
std::optional<int> minutesOfTimeText(const QString &time, QString *badPart = nullptr);

class PeriodLookup {
public:
    explicit PeriodLookup(const dbf::Table &daysHours);

    // The walk from DIASHORAST's first record to the first one whose DIHO is the
    // day followed by the period number (day 2, period 10: "210") and whose MARCO
    // equals the frame, both exactly; -1 when there is none. Day and period are
    // written as the decimal text of the whole numbers SOLUC holds, so a DIA kept
    // as text with a leading space or zero (" 2", "02") still finds its period.
    int firstPeriod(int day, int period, const QString &frame) const;

    // DIA and CODDIHO of a found period, as stored.
    const QString &weekday(int row) const { return m_dia.at(row); }
    const QString &slotCode(int row) const { return m_codDiho.at(row); }
    // HORADESDE and HORAHASTA in minutes, as decimal text; "0" without a period
    // (row -1). Throws UserError naming the record when a time is not "HH:MM".
    QString startMinutesText(int row) const;
    QString endMinutesText(int row) const;
    // MINUTOS as a whole number, in decimal text; "0" without a period. Throws
    // UserError naming the record when it is not a whole number.
    QString lengthText(int row) const;

private:
    QString minutesText(int row, int field, std::vector<QString> &cache) const;

    const dbf::Table &m_table;
    FirstByText m_byDihoAndMarco;
    // The answers given so far, by day, period and frame: every lesson of a
    // timetable falls in one of a few dozen periods.
    struct Asked {
        int day;
        int period;
        int frame; // the frame's one character, or -1 for none
        bool operator==(const Asked &) const = default;
    };
    friend size_t qHash(const Asked &key, size_t seed) { return qHashMulti(seed, key.day, key.period, key.frame); }
    mutable QHash<Asked, int> m_answers;
    FieldTexts m_dia;
    FieldTexts m_codDiho;
    int m_horaDesde;
    int m_horaHasta;
    int m_minutos;
    // Per row, filled on first use; a null text means not worked out yet.
    mutable std::vector<QString> m_start;
    mutable std::vector<QString> m_end;
    mutable std::vector<QString> m_length;
};
