#include "common/run_summary.h"

#include <algorithm>

void RunSummary::add(const QString &title, const QStringList &lines)
{
    if (!lines.isEmpty())
        sections.push_back({title, lines});
}

void RunSummary::addNotes(const QStringList &notes)
{
    if (notes.isEmpty())
        return;
    auto next = std::find_if(sections.begin(), sections.end(),
        [](const Section &section) { return section.title == summary_texts::nextTitle(); });
    sections.insert(next, Section{summary_texts::notesTitle(), notes});
}

QString RunSummary::text() const
{
    QStringList out;
    if (!heading.isEmpty())
        out << heading;
    for (const Section &section : sections) {
        out << QString() << section.title + QLatin1Char(':');
        for (const QString &line : section.lines)
            out << QStringLiteral("  ") + line;
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString RunSummary::html() const
{
    const auto escaped
        = [](const QString &text) { return text.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")); };
    QString out;
    if (!heading.isEmpty())
        out += QStringLiteral("<p><b>%1</b></p>").arg(escaped(heading));
    for (const Section &section : sections) {
        out += QStringLiteral("<p><b>%1</b></p><ul style=\"margin-top:0\">").arg(escaped(section.title));
        for (const QString &line : section.lines)
            out += QStringLiteral("<li>%1</li>").arg(escaped(line));
        out += QStringLiteral("</ul>");
    }
    return out;
}
