// TransHoravoPlanif: the converter's window.
#include "app/main_window.h"
#include "app/widget_interface.h"
#include "common/default_folders.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(WidgetInterface::applicationTitle());
    QApplication::setApplicationDisplayName(WidgetInterface::applicationTitle());
    QApplication::setApplicationVersion(QStringLiteral(HORAVO_VERSION));

    Session session;
    session.workDir = defaultWorkDir();
    session.programDir = QApplication::applicationDirPath();

    MainWindow window(session, app.arguments());
    window.show();
    return app.exec();
}
