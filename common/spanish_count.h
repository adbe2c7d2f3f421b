#pragma once
// A count with its noun, in Spanish: "1 error", "2 errores", "0 avisos".

#include <QString>

inline QString countOf(qsizetype count, const QString &singular, const QString &plural)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? singular : plural);
}
