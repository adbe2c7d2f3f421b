#pragma once
// Where the help lies and how it opens. "ZUZADEVERODOZ.chm" beside the program
// opens when a viewer for it exists (Windows' hh.exe, or the desktop's viewer for
// the type); otherwise our own help, help/index.html beside
// the program (a build) or ../share/transhoravo/help/index.html from the program's
// folder (an installation), opens in the desktop's browser at the section asked for.

#include "common/platform.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class UserInterface;

class HelpOpener {
public:
    explicit HelpOpener(QString programDir);

    // Opens the help at a section of our help (an anchor of index.html; empty for
    // its contents). Says so through ui when no help or no program to show it exists.
    void open(const QString &section, UserInterface &ui) const;

    QString chmPath() const;
    // Our help's index.html, or empty when it is not installed.
    QString htmlIndex() const;

    // The desktop's way of opening a file, this system's viewer of .chm files, and
    // the start of a program; tests put their own in.
    std::function<bool(const QUrl &)> openUrl;
    std::function<platform::CompiledHelpViewer()> chmViewer;
    std::function<bool(const QString &, const QStringList &)> startProgram;
    // Where the pages that lead to a section are written (help_redirect).
    QString redirectFolder;

private:
    QString m_programDir;
};

// Sections of the help, one per window.
namespace help_sections {
inline QString mainWindow()
{
    return QStringLiteral("ventana-principal");
}
inline QString courseDialog()
{
    return QStringLiteral("niveles-y-cursos");
}
inline QString frameDialog()
{
    return QStringLiteral("marcos-horarios");
}
} // namespace help_sections
