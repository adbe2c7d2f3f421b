#include "cli/cli_interface.h"

#include "cli/console_stream.h"
#include "common/run_driver.h"
#include "common/run_summary.h"
#include "export/export_run.h"
#include "import/import_run.h"

#include <cstdio>

QTextStream &standardError()
{
    static ConsoleStream device(2);
    static QTextStream stream(&device);
    return stream;
}

QTextStream &standardOutput()
{
    static ConsoleStream device(1);
    static QTextStream stream(&device);
    return stream;
}

CliInterface::CliInterface(CliAnswers answers)
    : m_answers(std::move(answers))
{
}

bool CliInterface::isFilePrompt(const QString &text)
{
    return text == export_texts::twoFiles() || text == export_texts::chooseSeneca()
        || text == export_texts::choosePlanning() || text == import_texts::chooseSeneca();
}

void CliInterface::showMessage(const QString &text)
{
    if (isFilePrompt(text))
        return;
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    standardError() << plain << Qt::endl;
}

void CliInterface::showError(const QString &text)
{
    standardError() << text << Qt::endl;
}

std::optional<QString> CliInterface::chooseXmlFile(XmlFile which)
{
    const QString &path = which == XmlFile::Seneca ? m_answers.senecaFile : m_answers.planningFile;
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

UserInterface::Answer CliInterface::ask(const QString &, const QString &, const QString &, const QString &)
{
    return m_answers.takeOver ? Answer::First : Answer::Second;
}

void CliInterface::note(const QString &text)
{
    m_notes << text;
}

void CliInterface::showSummary(const RunSummary &summary)
{
    RunSummary withNotes = summary;
    withNotes.addNotes(m_notes);
    m_notes.clear();
    m_summaryText = withNotes.text();
}

void CliInterface::showFinished(const QString &, const QString &)
{
    showMessage(run_texts::finished());
}

CliInterface::~CliInterface()
{
    for (const QString &text : std::as_const(m_notes))
        standardError() << text << Qt::endl;
}
