#include "export/levels_csv.h"

#include "common/clipper.h"
#include "common/cp1252.h"
#include "common/system_reason.h"
#include "common/user_error.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <array>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Spreadsheets save either UTF-8 (often with a BOM) or the Windows code page;
// text that is not valid UTF-8 can only be the latter.
QString decodeText(QByteArray bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        bytes.remove(0, bom.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return cp1252::decode(bytes.constData(), bytes.size());
}

struct CsvRecord {
    int line = 0;
    QStringList cells;
};

// Splits the text into records of cells. A cell that starts with a quote runs to
// the closing quote and may hold separators, line breaks and doubled quotes.
// Line breaks are CR LF, LF or a lone CR (as older spreadsheets write them).
std::vector<CsvRecord> splitRecords(const QString &text, QChar separator, const QString &path)
{
    std::vector<CsvRecord> records;
    QStringList cells;
    QString cell;
    bool inQuotes = false;
    int line = 1;
    int recordLine = 1;
    int quoteLine = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        const bool crLf = c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n');
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < size && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
                continue;
            }
            if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && !crLf))
                ++line;
            cell += c;
            continue;
        }
        if (c == QLatin1Char('"') && clipper::AllTrim(cell).isEmpty()) {
            inQuotes = true;
            quoteLine = line;
            cell.clear();
        } else if (c == separator) {
            cells << cell;
            cell.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (crLf)
                ++i;
            cells << cell;
            records.push_back({recordLine, cells});
            cells.clear();
            cell.clear();
            recordLine = ++line;
        } else {
            cell += c;
        }
    }
    if (inQuotes) {
        throw UserError(QStringLiteral("El archivo %1 tiene unas comillas sin cerrar en la línea %2.")
                            .arg(shown(path))
                            .arg(quoteLine));
    }
    if (!cell.isEmpty() || !cells.isEmpty()) {
        cells << cell;
        records.push_back({recordLine, cells});
    }
    return records;
}

// AllTrim leaves nothing of any cell: a line to pass over.
bool hasOnlyEmptyOrSpaceCells(const CsvRecord &record)
{
    for (const QString &cell : record.cells) {
        if (!clipper::AllTrim(cell).isEmpty())
            return false;
    }
    return true;
}

QString cellAt(const CsvRecord &record, int column)
{
    return column < record.cells.size() ? clipper::AllTrim(record.cells.at(column)) : QString();
}

constexpr std::array<const char *, 3> kColumns = {"CLAVE", "NIVEL", "CURSO"};

// The positions of CLAVE, NIVEL and CURSO in the header, -1 for a missing one.
std::array<int, 3> findColumns(const CsvRecord &header, const QString &path)
{
    std::array<int, 3> found = {-1, -1, -1};
    for (int column = 0; column < header.cells.size(); ++column) {
        const QString name = clipper::AllTrim(header.cells.at(column));
        for (size_t i = 0; i < kColumns.size(); ++i) {
            if (name.compare(QLatin1String(kColumns[i]), Qt::CaseInsensitive) != 0)
                continue;
            if (found[i] >= 0) {
                throw UserError(QStringLiteral("El archivo %1 tiene dos columnas %2 en su cabecera.")
                                    .arg(shown(path), QLatin1String(kColumns[i])));
            }
            found[i] = column;
        }
    }
    return found;
}

} // namespace

LevelsCsv parseLevelsCsv(const QByteArray &bytes, const QString &path)
{
    const QString text = decodeText(bytes);
    // The header decides the separator: the one under which it names all three columns.
    for (const QChar separator : {QLatin1Char(';'), QLatin1Char(',')}) {
        const std::vector<CsvRecord> records = splitRecords(text, separator, path);
        auto record = records.begin();
        while (record != records.end() && hasOnlyEmptyOrSpaceCells(*record))
            ++record;
        if (record == records.end())
            break;
        const std::array<int, 3> columns = findColumns(*record, path);
        if (columns[0] < 0 || columns[1] < 0 || columns[2] < 0)
            continue;
        LevelsCsv csv;
        csv.path = path;
        for (++record; record != records.end(); ++record) {
            if (hasOnlyEmptyOrSpaceCells(*record))
                continue;
            csv.rows.push_back(
                {record->line, cellAt(*record, columns[0]), cellAt(*record, columns[1]), cellAt(*record, columns[2])});
        }
        return csv;
    }
    throw UserError(QStringLiteral("El archivo %1 debe empezar con una línea de cabecera que nombre las columnas "
                                   "CLAVE, NIVEL y CURSO, separadas por \";\" o por \",\".")
                        .arg(shown(path)));
}

LevelsCsv readLevelsCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(
            QStringLiteral("No se pudo leer el archivo %1: %2").arg(shown(path), disk::fileReason(file, false)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw UserError(
            QStringLiteral("No se pudo leer el archivo %1: %2").arg(shown(path), disk::fileReason(file, false)));
    return parseLevelsCsv(bytes, path);
}

QString levelsCsvLine(const QStringList &cells)
{
    QStringList quoted;
    for (const QString &cell : cells) {
        const bool needsQuotes = cell.contains(QLatin1Char(';')) || cell.contains(QLatin1Char(','))
            || cell.contains(QLatin1Char('"')) || cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'));
        if (!needsQuotes) {
            quoted << cell;
            continue;
        }
        QString escaped = cell;
        escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
        quoted << QLatin1Char('"') + escaped + QLatin1Char('"');
    }
    return quoted.join(QLatin1Char(';'));
}
