// A whole export over arbitrary documents: the input is the Séneca file, a line
// "=====", the planning file and, after another such line, the bytes of the
// codings kept by an earlier export (CURSOST2.DBF), when there are any. The real
// run reads them, asks its dialogs (answered by fuzz::AnsweringInterface) and
// writes every table into a working folder emptied for each input. Bad input may
// only ever end in a UserError, and a completed run leaves tables that read.
#include "common/dbf_table.h"
#include "common/session.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "fuzz/fuzz_support.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A subject reference table with a few of the example school's subjects, so that
// step 3 finds some names and derives the others.
QString subjectReferenceTable()
{
    const QString path
        = QDir(fuzz::freshFolder(QStringLiteral("programa"))).filePath(QStringLiteral("SENEMATERIAS.DBF"));
    dbf::createTable(path, {dbf::charField("NOMBRE", 80), dbf::charField("COD", 10), dbf::charField("CODLARGO", 10)});
    dbf::Table table(path);
    table.open();
    for (const auto &[name, code] : {std::pair{"Lengua Castellana y Literatura", "LCL"}, std::pair{"Tutoría", "TUT"}}) {
        const int row = table.appendBlank();
        table.setText(row, 0, QString::fromUtf8(name));
        table.setText(row, 1, QString::fromUtf8(code));
        table.setText(row, 2, QString::fromUtf8(code));
        table.post(row);
    }
    table.close();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString materias = subjectReferenceTable();
    const std::vector<QByteArray> parts = fuzz::splitInput(data, size, 3);

    const QString inputs = fuzz::freshFolder(QStringLiteral("export/seneca"));
    Session session;
    session.workDir = fuzz::freshFolder(QStringLiteral("export/KTEMP"));
    session.programDir = QFileInfo(materias).absolutePath();
    session.materiasPath = materias;

    fuzz::AnsweringInterface ui;
    ui.files = {QDir(inputs).filePath(QStringLiteral("seneca.xml")),
        QDir(inputs).filePath(QStringLiteral("planificacion.xml"))};
    fuzz::writeFile(ui.files[0], parts[0]);
    fuzz::writeFile(ui.files[1], parts[1]);
    if (!parts[2].isEmpty())
        fuzz::writeFile(QDir(session.workDir).filePath(QStringLiteral("CURSOST2.DBF")), parts[2]);
    try {
        ExportRun run(session, ui);
        if (run.run() == ExportRun::Outcome::Completed)
            fuzz::checkTablesReadable(session.workDir);
    } catch (const UserError &) {
        // Refused with a message: what a bad document must get.
    }
    return 0;
}
