#pragma once
// The state that the runs of one program start share: the fixed folders (decided
// by the window and the command line, passed in), the batch mode, the outcome of
// the last run, the flag of a failed dialog attempt, and the files last chosen.

#include <QDir>
#include <QString>

struct Session {
    QString workDir; // the timetabler's working folder (C:\KTEMP)
    QString programDir; // the program's own folder: SENEMATERIAS.DBF, Horavent.ini
    QString materiasPath; // the subject reference table; empty means programDir/SENEMATERIAS.DBF

    int batchMode = 0; // 2 when started with exactly two arguments (decideBatchMode)
    int transformado = 0; // 0 nothing completed, 1 a run completed, -1 a chosen file did not exist
    bool result = false; // a dialog attempt failed earlier in this program's life
    bool completed = false; // a run completed: the action buttons stay disabled

    QString filenameXML; // the Séneca file last chosen
    QString filenameXML2; // the planning file last chosen

    // Batch mode: the timetabler started the program with a direction and one more
    // argument. The run starts by itself, the window closes after it, and the
    // outcome (transformado) is left in Horavent.ini.
    bool inBatchMode() const { return batchMode == 2; }
    // Decided once, from the number of arguments after the program's path.
    void decideBatchMode(qsizetype argumentCount) { batchMode = argumentCount == 2 ? 2 : 0; }

    QString workPath(const QString &fileName) const { return QDir(workDir).filePath(fileName); }
    QString materiasTablePath() const
    {
        return materiasPath.isEmpty() ? QDir(programDir).filePath(QStringLiteral("SENEMATERIAS.DBF")) : materiasPath;
    }
};
