#pragma once
// The level and course of each course as a spreadsheet saves it: the file the
// level and course dialog loads and `transhoravo export --levels` reads. A header
// line names the columns CLAVE, NIVEL and CURSO (any letter case, any order; other
// columns are ignored) and decides the separator, ";" or ",". The text is UTF-8 (a
// BOM is allowed) or, when it is not valid UTF-8, Windows-1252. Cells may be quoted
// ("a;b", "say ""hi"""); every value is trimmed of surrounding spaces.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

struct LevelsRow {
    int line = 0; // where the row starts in the file, from 1
    QString clave;
    QString nivel; // empty: leave the course's level as it is
    QString curso; // empty: leave the course's course as it is
};

struct LevelsCsv {
    QString path;
    std::vector<LevelsRow> rows; // in file order; rows with every cell empty are left out
};

// Reads the file. Throws UserError naming it when it cannot be read, lacks one of
// the three columns in its header, names one twice, or leaves a quote open.
LevelsCsv readLevelsCsv(const QString &path);
// The same from bytes already read; path is only used in messages.
LevelsCsv parseLevelsCsv(const QByteArray &bytes, const QString &path);

// One CSV line of the given cells separated by ";", quoting the cells that need it.
QString levelsCsvLine(const QStringList &cells);
