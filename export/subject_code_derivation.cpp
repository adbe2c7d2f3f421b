#include "export/subject_code_derivation.h"

#include "common/clipper.h"
#include "export/subjects_table.h"

namespace {

int subjectsFieldWidth(QLatin1StringView fieldName)
{
    for (const dbf::FieldDef &field : subjects_table::layout()) {
        if (field.name == fieldName)
            return field.width;
    }
    return 0;
}

bool isCapitalAtoZ(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

// A code of the name's capitals, or of its first letters when it has only one.
QString codeFromName(const QString &name)
{
    if (name.isEmpty())
        return QString();
    QString code;
    if (!isCapitalAtoZ(name.front()))
        code = name.front();
    code += clipper::Capitals(name);
    if (code.size() == 1) {
        if (!name.contains(QLatin1Char(' ')))
            code = clipper::Left(name, 6);
        else
            code = name.front() + clipper::Initials(name);
    }
    return code;
}

} // namespace

int subjectCodeWidth()
{
    static const int width = subjectsFieldWidth(subjects_table::cod);
    return width;
}

SubjectCodes deriveSubjectCodes(const QString &name, SubjectCodes codes)
{
    static const int longCodeWidth = subjectsFieldWidth(subjects_table::codLargo);
    if (clipper::AllTrim(codes.code).isEmpty())
        codes.code = codeFromName(name);
    if (clipper::AllTrim(codes.longCode).isEmpty())
        codes.longCode = codes.code.size() > 4 ? codes.code : clipper::Left(name, longCodeWidth);
    codes.code = clipper::Left(codes.code, subjectCodeWidth());
    return codes;
}
