// A whole import over an arbitrary Séneca file and SOLUC table: the input is the
// Séneca file, a line "=====", and the bytes of SOLUC.DBF. The other tables are
// those of a small fixed school (fuzz/school), exported once when the target
// starts. Bad input may only ever end in a UserError, and a completed run writes
// a document that reads back.
#include "common/dbf_table.h"
#include "common/session.h"
#include "common/user_error.h"
#include "common/xml_document.h"
#include "export/export_run.h"
#include "fuzz/fuzz_support.h"
#include "import/import_run.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

// The working folder with the school's export, written once.
QString exportedSchool()
{
    Session session;
    session.workDir = fuzz::freshFolder(QStringLiteral("import/KTEMP"));
    session.programDir = fuzz::freshFolder(QStringLiteral("import/programa"));
    session.materiasPath = QDir(session.programDir).filePath(QStringLiteral("SENEMATERIAS.DBF"));
    const QString school = QStringLiteral(HORAVO_FUZZ_SCHOOL_DIR);
    fuzz::AnsweringInterface ui;
    ui.files = {QDir(school).filePath(QStringLiteral("seneca.xml")),
        QDir(school).filePath(QStringLiteral("planificacion.xml"))};
    try {
        dbf::createTable(session.materiasPath,
            {dbf::charField("NOMBRE", 80), dbf::charField("COD", 10), dbf::charField("CODLARGO", 10)});
        ExportRun run(session, ui);
        if (run.run() != ExportRun::Outcome::Completed)
            throw UserError(QStringLiteral("la exportación no terminó"));
    } catch (const UserError &error) {
        std::fprintf(stderr, "No se pudo exportar la escuela de %s: %s\n", qPrintable(school), error.what());
        std::abort();
    }
    return session.workDir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString workDir = exportedSchool();
    const std::vector<QByteArray> parts = fuzz::splitInput(data, size, 2);

    const QString inputs = fuzz::freshFolder(QStringLiteral("import/seneca"));
    Session session;
    session.workDir = workDir;
    session.programDir = inputs;
    fuzz::AnsweringInterface ui;
    ui.files = {QDir(inputs).filePath(QStringLiteral("seneca.xml"))};
    fuzz::writeFile(ui.files[0], parts[0]);
    fuzz::writeFile(QDir(workDir).filePath(QStringLiteral("SOLUC.DBF")), parts[1]);
    try {
        ImportRun run(session, ui);
        run.fechaText = [] { return QStringLiteral("01/02/2025 10:30:00"); };
        if (run.run() != ImportRun::Outcome::Completed)
            return 0;
    } catch (const UserError &) {
        return 0; // refused with a message: what bad input must get
    }
    // What a completed run wrote is a document the same parser reads back.
    try {
        xml::Document::load(QDir(inputs).filePath(QStringLiteral("ResultadoHoravoseneca.xml")));
    } catch (const UserError &error) {
        fuzz::fail(QStringLiteral("el documento escrito no se puede leer: ") + error.message());
    }
    return 0;
}
