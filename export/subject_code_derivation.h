#pragma once
// How a subject gets its short code (COD) and long code (CODLARGO) when the
// school's reference table does not give them.

#include <QString>

struct SubjectCodes {
    QString code; // COD
    QString longCode; // CODLARGO
};

// The width of ASIGNOMT.COD, to which every subject code is cut.
int subjectCodeWidth();

// Completes the codes found in the reference table (either may be empty) from the
// subject name:
// - an empty code (after trimming) is derived: the name's first character unless
//   it is a capital A-Z, then every capital A-Z of the name; when that gives one
//   character, the first 6 characters of a name without spaces, or else the first
//   character followed by the character after each space;
// - an empty long code becomes the code derived so far when it has more than 4
//   characters, or else the first 10 characters of the name;
// - the code is then cut to 10 characters (the long code keeps its length; the
//   table cuts it when stored).
// A name without characters gives empty codes; the steps skip such entries.
SubjectCodes deriveSubjectCodes(const QString &name, SubjectCodes fromReference);
