#pragma once
// What the check of a timetable document needs of the Séneca export: the codes a
// record may carry (teachers, slots, rooms, units, courses, subjects, activities,
// authorisations), the names to show them by, the academic year and its dates.
// Read in one streaming pass over the export's values (ExchangeValues).

#include "common/text_hash.h"

#include <QString>

#include <vector>

struct SenecaTeacher {
    QString employee; // X_EMPLEADO
    QString takingPost; // F_TOMAPOS
    QString name; // given name and surnames, for the person to read
};

struct SenecaSlot {
    QString code; // X_TRAMO
    QString label; // D_TRAMO
    int start = 0; // minutes after midnight
    int end = 0;
    bool timesValid = false; // both start and end read as whole numbers
    QString frame; // X_JORNADA
};

struct SenecaUnit {
    QString name;
    QString course; // X_OFERTAMATRIG of the unit
};

struct SenecaActivity {
    QString name;
    bool regular = true; // marker other than "N"
    bool needsUnit = false; // L_REQUNIDAD "S"
    bool needsSubject = false; // L_REQMATERIA "S"
};

struct SenecaAuthorisation {
    QString activity;
    QString category;
    QString level;
};

class SenecaExport {
public:
    // Reads the file; throws UserError naming it when it cannot be read or is not
    // an exchange document.
    static SenecaExport read(const QString &path);

    QString path;
    QString exportDate; // the fecha of SERVICIO, as written
    QString year; // the first four characters of C_ANNO
    QString yearStart; // dd/mm/yyyy, as written
    QString yearEnd;

    std::vector<SenecaTeacher> teachers; // in the export's order
    TextHash<int> teacherIndex; // employee -> position in teachers
    std::vector<SenecaSlot> slots; // in the export's order
    TextHash<int> slotIndex;
    TextHash<QString> rooms; // X_DEPENDENCIA -> name
    TextHash<SenecaUnit> units; // X_UNIDAD
    TextHash<QString> courses; // X_OFERTAMATRIG -> name
    // MATERIAS: the subject's name by subject and course key (subjectKey()).
    TextHash<QString> subjects;
    TextHash<SenecaActivity> activities; // X_ACTIVIDAD
    // The reference catalogues: present when ORIGENES holds an entry.
    bool hasCatalogues = false;
    TextHash<QString> categories; // X_CATORIHOR -> C_ORIHOR
    TextHash<QString> levels; // X_NIVCONPAGLEG -> name
    TextHash<QString> courseLevel; // X_OFERTAMATRIG -> X_NIVCONPAGLEG
    TextHash<SenecaAuthorisation> authorisations; // X_ORIHORACTETP

    static QString subjectKey(const QString &subject, const QString &course)
    {
        return subject + QLatin1Char('\x1f') + course;
    }
    const SenecaSlot *slot(QStringView code) const
    {
        const int *at = slotIndex.find(code);
        return at ? &slots[size_t(*at)] : nullptr;
    }
    const SenecaTeacher *teacher(QStringView employee) const
    {
        const int *at = teacherIndex.find(employee);
        return at ? &teachers[size_t(*at)] : nullptr;
    }
};
