#pragma once
// What a completed run did, for the person to read: a heading and titled sections
// of lines (tables and record counts, the document written, notes, what to do
// next). The drivers build it; the window shows it in its summary area and the
// command line prints it, so both say the same words.

#include <QString>
#include <QStringList>

#include <vector>

struct RunSummary {
    struct Section {
        QString title;
        QStringList lines;
    };

    QString heading; // one line: which run ended and how
    std::vector<Section> sections; // in reading order
    QString documentPath; // the document written (import); empty otherwise
    QString reportPath; // the check's report beside that document; empty otherwise
    // Lines for the box "Proceso finalizado" (the check's counts): what must be
    // read before the window closes, in batch mode too.
    QStringList finishedDetails;

    // Adds a section at the end; one without lines is left out.
    void add(const QString &title, const QStringList &lines);
    // The notes the run gave (UserInterface::note), in order, under their title,
    // before what to do next.
    void addNotes(const QStringList &notes);
    bool isEmpty() const { return heading.isEmpty() && sections.empty(); }

    // Plain text: the heading, then each section's title and its lines indented.
    QString text() const;
    // The same as HTML for the window: titles bold, texts escaped.
    QString html() const;
};

namespace summary_texts {
inline QString notesTitle()
{
    return QStringLiteral("Avisos");
}
inline QString nextTitle()
{
    return QStringLiteral("Qué hacer ahora");
}
} // namespace summary_texts
