#pragma once
// Reads a timetable document (ours, or one another program wrote) for the check,
// in one streaming pass that builds no tree: the largest school's document is
// tens of megabytes.

#include "import/timetable_content.h"

class TimetableReader {
public:
    // Throws UserError naming the file when it is missing or cannot be read. A
    // document that is not well-formed is read as far as it goes, and the parser's
    // message is kept in parseError: that is a finding of the check, not a reason
    // to stop it.
    static TimetableContent read(const QString &path);
};
