#pragma once
// Text helpers shared by every step. All take their text by value, never fail,
// never depend on the locale, and count characters (UTF-16 code units of QString).

#include <QString>

namespace clipper {

// Removes trailing spaces (U+0020 only).
QString RTrim(QString text);
// Removes leading spaces (U+0020 only).
QString LTrim(QString text);
// RTrim then LTrim: tabs, line breaks and non-breaking spaces stay.
QString AllTrim(QString text);
// The first n characters; the whole text when n is not smaller than its length; empty for n <= 0.
QString Left(const QString &text, int n);
// The last n characters; the whole text when n is not smaller than its length; empty for n <= 0.
QString Right(const QString &text, int n);
// The capitals A to Z of the text, in order; accented capitals are dropped.
QString Capitals(const QString &text);
// The character after each space at positions 1 .. length-1.
QString Initials(const QString &text);

// ASCII a-z to capitals; every other character stays as it is.
QString UpperAscii(QString text);

// A whole number as the steps read it: optional sign, decimal digits, within the
// 32-bit range, spaces around allowed. Returns false for anything else.
bool parseWholeNumber(const QString &text, int &value);

} // namespace clipper
