#include "common/outcome_record.h"

#include "common/disk_io.h"
#include "common/system_reason.h"
#include "common/user_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

struct Line {
    QByteArray text; // without its line end
    QByteArray end; // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> splitLines(const QByteArray &bytes)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        if (newline < 0) {
            lines.push_back({bytes.mid(start), QByteArray()});
            break;
        }
        const bool crlf = newline > start && bytes.at(newline - 1) == '\r';
        lines.push_back({bytes.mid(start, newline - start - (crlf ? 1 : 0)), crlf ? "\r\n" : "\n"});
        start = newline + 1;
    }
    return lines;
}

QByteArray sectionName(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith('[') && trimmed.endsWith(']'))
        return trimmed.mid(1, trimmed.size() - 2).trimmed().toLower();
    return QByteArray();
}

bool isKeyLine(const QByteArray &line, const QByteArray &key)
{
    const qsizetype equals = line.indexOf('=');
    return equals > 0 && line.left(equals).trimmed().toLower() == key;
}

} // namespace

QByteArray withOutcome(const QByteArray &existing, int value)
{
    const QByteArray keyLine = "Transformado=" + QByteArray::number(value);
    std::vector<Line> lines = splitLines(existing);
    const QByteArray eol
        = existing.contains("\r\n") || !existing.contains('\n') ? QByteArray("\r\n") : QByteArray("\n");

    int sectionStart = -1;
    int insertAt = -1; // after the last non-blank line of the section
    for (int i = 0; i < int(lines.size()); ++i) {
        const QByteArray section = sectionName(lines[size_t(i)].text);
        if (!section.isEmpty()) {
            if (sectionStart >= 0)
                break;
            if (section == "transformadores") {
                sectionStart = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (isKeyLine(lines[size_t(i)].text, "transformado")) {
            lines[size_t(i)].text = keyLine;
            insertAt = -2;
            break;
        }
        if (!lines[size_t(i)].text.trimmed().isEmpty())
            insertAt = i + 1;
    }

    if (sectionStart < 0) {
        if (!lines.empty() && lines.back().end.isEmpty())
            lines.back().end = eol;
        lines.push_back({"[Transformadores]", eol});
        lines.push_back({keyLine, eol});
    } else if (insertAt >= 0) {
        if (insertAt > 0 && lines[size_t(insertAt - 1)].end.isEmpty())
            lines[size_t(insertAt - 1)].end = eol;
        lines.insert(lines.begin() + insertAt, Line{keyLine, eol});
    }

    QByteArray out;
    for (const Line &line : lines)
        out += line.text + line.end;
    return out;
}

void writeOutcomeRecord(const QString &iniPath, int value)
{
    QByteArray existing;
    QFile in(iniPath);
    if (QFileInfo(iniPath).isDir()) {
        throw UserError(QStringLiteral("No se pudo guardar el resultado del proceso en %1 (%2).")
                            .arg(QDir::toNativeSeparators(iniPath), disk::reason(EISDIR)));
    }
    if (in.exists()) {
        errno = 0;
        if (!in.open(QIODevice::ReadOnly))
            throw UserError(
                QStringLiteral("No se pudo leer %1 (%2).").arg(QDir::toNativeSeparators(iniPath), disk::lastReason()));
        existing = in.readAll();
        in.close();
    }
    const QByteArray content = withOutcome(existing, value);
    disk::WholeFile out(iniPath);
    if (!out.open() || !out.write(content) || !out.commit()) {
        throw UserError(QStringLiteral("No se pudo guardar el resultado del proceso en %1 (%2). "
                                       "Compruebe que la carpeta del programa admite escritura.")
                            .arg(QDir::toNativeSeparators(iniPath), out.errorString()));
    }
}
