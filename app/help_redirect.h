#pragma once
// The desktop's way of opening a file (xdg-open, the Windows shell) hands the
// browser the file without the "#section" of its URL, so F1 would open the help
// at its top. A small local page that redirects to the section carries it over:
// the browser opens the page, and the page the help at its section.

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace help_redirect {

// The page: an immediate redirection to target, anchor included.
QByteArray pageFor(const QUrl &target);
// Writes the page for target, one per section, into folder (created when
// missing) and returns its URL with the same anchor; an empty URL when the page
// cannot be written.
QUrl write(const QUrl &target, const QString &folder);
// The user's own cache folder for these pages.
QString defaultFolder();

} // namespace help_redirect
