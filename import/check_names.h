#pragma once
// The names a head of studies knows things by, from the Séneca export: teachers,
// units, rooms, courses, subjects, activities and levels. A code the export does
// not know is shown as it is, after a word that says what it is.

#include "import/seneca_export.h"
#include "import/timetable_content.h"

#include <QString>

class CheckNames {
public:
    explicit CheckNames(const SenecaExport &seneca)
        : m_seneca(seneca)
    {
    }

    QString teacher(const QString &employee) const;
    QString unit(const QString &code) const;
    QString room(const QString &code) const;
    QString course(const QString &code) const;
    QString subject(const QString &subject, const QString &course) const;
    QString activity(const QString &code) const;
    QString level(const QString &code) const;
    // What a regular record teaches: its subject's name, or its activity's when it has no subject.
    QString taught(const TimetableRecord &record) const;

private:
    const SenecaExport &m_seneca;
};
