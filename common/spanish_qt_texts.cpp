#include "common/spanish_qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installSpanishQtTexts(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    const QString catalogue = QStringLiteral("qtbase_es");
    const bool loaded = translator->load(catalogue, QCoreApplication::applicationDirPath())
        || translator->load(catalogue, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!loaded || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
