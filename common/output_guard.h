#pragma once
// An output never lands on an input: before a run writes a file, the path it
// writes is compared with every file the run reads, by name and by the file it
// names (a symbolic link or a second hard link of an input is that input).

#include <QString>

#include <vector>

// A file the run reads, with the words that tell the person which it is.
struct ReadFile {
    QString path;
    QString what; // "el archivo de Séneca", "la tabla SOLUC.DBF"
};

// Whether output names one of the inputs: the same path (file names compared
// without case on Windows), a link to it, or another hard link of it. The first
// input it names, or nullptr.
const ReadFile *inputAt(const QString &output, const std::vector<ReadFile> &inputs);

// Throws UserError when output names one of the inputs: the message says what the
// output is (outputWhat: "el documento de horarios"), which input it would
// destroy, and what to do (whatToDo).
void refuseOutputOnInputs(
    const QString &output, const QString &outputWhat, const std::vector<ReadFile> &inputs, const QString &whatToDo);
