#include "app/help_redirect.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

namespace help_redirect {

QByteArray pageFor(const QUrl &target)
{
    const QString address = target.toString(QUrl::FullyEncoded).toHtmlEscaped();
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\">\n"
                          "<meta http-equiv=\"refresh\" content=\"0; url=%1\">\n"
                          "<title>Ayuda de TransHoravoPlanif</title></head>\n"
                          "<body><p><a href=\"%1\">Abrir la ayuda</a></p></body></html>\n")
        .arg(address)
        .toUtf8();
}

QUrl write(const QUrl &target, const QString &folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return QUrl();
    // The sections are plain names (niveles-y-cursos); anything else is left out
    // of the file's name.
    QString name = target.fragment();
    name.removeIf([](QChar c) { return !c.isLetterOrNumber() && c != QLatin1Char('-'); });
    const QString path = QDir(folder).filePath(QStringLiteral("ayuda-%1.html").arg(name));
    QSaveFile page(path);
    const QByteArray bytes = pageFor(target);
    if (!page.open(QIODevice::WriteOnly) || page.write(bytes) != bytes.size() || !page.commit())
        return QUrl();
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(target.fragment());
    return url;
}

QString defaultFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return cache.isEmpty() ? QString() : QDir(cache).filePath(QStringLiteral("ayuda"));
}

} // namespace help_redirect
