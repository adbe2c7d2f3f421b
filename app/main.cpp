// TransHoravoPlanif: the converter's window.
#include "app/main_window.h"
#include "app/scripted_answers.h"
#include "app/widget_interface.h"
#include "common/platform.h"
#include "common/program_folders.h"
#include "common/spanish_qt_texts.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    platform::prepareProcess();
    platform::holdLauncherConnectionForThisProcessOnly();
    QApplication app(argc, argv);
    // No display name: Qt would append it to every window's caption.
    QApplication::setApplicationName(WidgetInterface::applicationTitle());
    QApplication::setApplicationVersion(QStringLiteral(HORAVO_VERSION));
    installSpanishQtTexts(app);

    Session session;
    session.workDir = platform::defaultWorkDir();
    const ProgramFolders folders = programFoldersOfThisProgram();
    session.programDir = folders.programDir;
    session.materiasPath = folders.materiasPath;
    QDir().mkpath(session.programDir); // the per-user folder of an installed program may not exist yet

    ScriptedAnswers::installIfAsked();

    MainWindow window(session, app.arguments());
    window.show();
    return app.exec();
}
