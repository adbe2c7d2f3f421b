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

    int batchMode = 0; // 2 when started with exactly two arguments
    int transformado = 0; // 0 nothing completed, 1 a run completed, -1 a chosen file did not exist
    bool result = false; // a dialog attempt failed earlier in this program's life
    bool completed = false; // a run completed: the action buttons stay disabled

    QString filenameXML; // the Séneca file last chosen
    QString filenameXML2; // the planning file last chosen

    QString workPath(const QString &fileName) const { return QDir(workDir).filePath(fileName); }
    QString materiasTablePath() const
    {
        return materiasPath.isEmpty() ? QDir(programDir).filePath(QStringLiteral("SENEMATERIAS.DBF")) : materiasPath;
    }
};
