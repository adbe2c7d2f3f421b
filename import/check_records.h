#pragma once
// Each record of a timetable document read once into what the rules compare: its
// day, slot, start and end in minutes, its minutes a week, and its codes. The
// rules, the overlaps and the load all read these, never the record's texts.

#include "import/seneca_export.h"
#include "import/timetable_content.h"

#include <QString>

#include <vector>

struct CheckedRecord {
    const TimetableRecord *record = nullptr;
    const TimetableTeacher *teacher = nullptr;
    int index = 0; // in TimetableContent::records
    bool regular = true; // in the regular section
    int day = 0; // 1 to 7 when dayRead
    bool dayRead = false; // a whole number from 1 to 7
    int start = 0, end = 0; // minutes after midnight
    bool startRead = false, endRead = false;
    const SenecaSlot *slot = nullptr; // the export's slot of its code; nullptr when unknown
    int minutes = 0; // a non-regular record's minutes a week
    bool minutesRead = false;

    // A lesson with a day and times that can be placed on the week.
    bool placed() const { return dayRead && startRead && endRead && start < end; }
    const QString &code(TimetableField field) const { return record->value(field); }
    const QString &employee() const { return teacher->value(TimetableField::X_EMPLEADO); }
    // "lunes 08:15–09:15", from its own times or else its slot's; the day alone without either.
    QString when() const;
};

std::vector<CheckedRecord> checkedRecords(const SenecaExport &seneca, const TimetableContent &content);
