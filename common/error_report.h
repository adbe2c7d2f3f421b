#pragma once
// What the person reads when a run stops on an exception. A UserError carries its
// own message; the library and the system throw others (no memory left, a thread
// the system refused to start), which are told here in Spanish. The window and
// the command line catch std::exception at the top and show this text, so no
// exception ends the program without a word.

#include <QString>

#include <exception>

QString errorMessage(const std::exception &error);

namespace error_texts {
inline QString noMemory()
{
    return QStringLiteral("No hay memoria suficiente para terminar el proceso.");
}
// reason: why the system refused, in the person's words.
inline QString systemRefused(const QString &reason)
{
    return QStringLiteral("El sistema no ha permitido terminar el proceso: %1. Cierre otros programas y vuelva a "
                          "intentarlo.")
        .arg(reason);
}
// detail: the exception's own text, for whoever looks into the fault.
inline QString unexpected(const QString &detail)
{
    return QStringLiteral("El proceso se ha detenido por un error inesperado del programa (%1).").arg(detail);
}
} // namespace error_texts
