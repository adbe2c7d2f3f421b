#include "export/subject_entry.h"

SubjectEntry readSubjectEntry(const ExchangeRecord &record)
{
    static const QString identifierName = QStringLiteral("X_MATERIAOMG");
    static const QString subjectName = QStringLiteral("D_MATERIAC");

    SubjectEntry entry;
    entry.courseKey = record.value(0);
    if (serialisedNameIs(record, 2, identifierName))
        entry.identifier = record.value(2);
    else
        entry.name = record.value(2);
    if (serialisedNameIs(record, 1, subjectName))
        entry.name = record.value(1);
    else
        entry.identifier = record.value(1);
    return entry;
}

std::vector<NumberedSubjectEntry> readSubjectEntries(const ExchangeDocument &seneca)
{
    std::vector<NumberedSubjectEntry> entries;
    int recordNumber = 0;
    for (const ExchangeRecord &record : seneca.records(QStringLiteral("MATERIAS"))) {
        ++recordNumber;
        if (record.count() >= 2)
            entries.push_back({recordNumber, readSubjectEntry(record), false});
        else
            entries.push_back({recordNumber, SubjectEntry(), true});
    }
    return entries;
}
