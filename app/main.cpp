// TransHoravoPlanif: the converter's window.
#include "app/main_window.h"
#include "app/widget_interface.h"
#include "common/default_folders.h"
#include "common/spanish_qt_texts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // No display name: Qt would append it to every window's caption.
    QApplication::setApplicationName(WidgetInterface::applicationTitle());
    QApplication::setApplicationVersion(QStringLiteral(HORAVO_VERSION));
    installSpanishQtTexts(app);

    Session session;
    session.workDir = defaultWorkDir();
    session.programDir = QApplication::applicationDirPath();

    MainWindow window(session, app.arguments());
    window.show();
    return app.exec();
}
