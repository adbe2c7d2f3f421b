#pragma once
// Qt's own texts (file dialogs, message-box buttons, the command line's "Uso:" and
// "Opciones:") in Spanish, from Qt's Spanish catalogue qtbase_es.qm: beside the
// program (the Windows folder carries it), else in Qt's translations folder
// (Debian's qt6-translations-l10n). Both programs install it at start.

class QCoreApplication;

// False when the catalogue is not installed: Qt's texts then stay English.
bool installSpanishQtTexts(QCoreApplication &app);
