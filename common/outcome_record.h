#pragma once
// The outcome record: Horavent.ini beside the program, section Transformadores,
// key Transformado. Only that key is written; every other line of an existing file
// stays byte for byte (comments, other sections, Windows line ends), and the file
// is replaced whole.

#include <QByteArray>
#include <QString>

// Returns the file's new content with the key set (pure, for tests).
QByteArray withOutcome(const QByteArray &existing, int value);
// Writes the value; throws UserError naming the file when it cannot be written.
void writeOutcomeRecord(const QString &iniPath, int value);
