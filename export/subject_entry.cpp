#include "export/subject_entry.h"

#include "export/seneca_groups.h"

SubjectEntry readSubjectEntry(const ExchangeRecord &record)
{
    using namespace seneca_groups;
    static const QString identifierDato = subjectIdentifierDato();
    static const QString nameDato = subjectNameDato();

    SubjectEntry entry;
    entry.courseKey = record.value(subjectCourseKey);
    if (serialisedNameIs(record, subjectIdentifier, identifierDato))
        entry.identifier = record.value(subjectIdentifier);
    else
        entry.name = record.value(subjectIdentifier);
    if (serialisedNameIs(record, subjectName, nameDato))
        entry.name = record.value(subjectName);
    else
        entry.identifier = record.value(subjectName);
    return entry;
}

std::vector<NumberedSubjectEntry> readSubjectEntries(const ExchangeDocument &seneca)
{
    std::vector<NumberedSubjectEntry> entries;
    int recordNumber = 0;
    for (const ExchangeRecord &record : seneca.records(seneca_groups::subjectsGroup())) {
        ++recordNumber;
        if (record.count() >= 2)
            entries.push_back({recordNumber, readSubjectEntry(record), false});
        else
            entries.push_back({recordNumber, SubjectEntry(), true});
    }
    return entries;
}
