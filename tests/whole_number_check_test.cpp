// Before anything is written, every value that must be a whole number is tried;
// one bad value stops the export with the working folder as the last export left it.
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/assignments_table.h"
#include "export/authorisations_table.h"
#include "export/course_levels_table.h"
#include "export/courses_table.h"
#include "export/days_hours_table.h"
#include "export/export_run.h"
#include "export/groups_table.h"
#include "export/levels_table.h"
#include "export/origins_table.h"
#include "export/periods_table.h"
#include "export/rooms_table.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"
#include "support/table_rows.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

// A Séneca document whose whole numbers are all good, with one value replaceable.
struct SenecaValues {
    QString slotStart = s("480");
    QString slotEnd = s("540");
    QString levelKey = s("12");
};

ExchangeBuilder seneca(const SenecaValues &values)
{
    ExchangeBuilder builder;
    builder.top(s("CURSO"), {s("2024"), s("01/09/2024"), s("30/06/2025")});
    builder.group(s("JORNADAS_ESCOLARES")).record({s("M1"), s("Mañana"), s("a"), s("b")});
    builder.group(s("TRAMOS_HORARIOS"))
        .named({{s("X_TRAMO"), s("1")}, {s("T_HORCEN"), s("1ª")}, {s("N_INICIO"), values.slotStart},
            {s("N_FIN"), values.slotEnd}, {s("X_JORNADA"), s("M1")}});
    builder.group(s("ORIGENES")).record({s("7"), s("LECTIVA"), s("Lectiva")});
    builder.group(s("NIVELES"))
        .record({s("12"), s("ESO"), s("Secundaria")})
        .named({{s("X_NIVCONPAGLEG"), values.levelKey}, {s("C_NIVCON"), s("BACH")}});
    return builder;
}

struct AssignmentValues {
    QString level = s("12");
    QString pattern = s("1111");
};

ExchangeBuilder planning(const AssignmentValues &values)
{
    ExchangeBuilder builder;
    builder.top(s("PROFESOR_1"), {s("E1"), s("x"), s("y"), s("e@x.es")});
    builder.record(
        {s("A"), s("M100"), s("C1"), s("-"), s("G1"), s("5"), s("-"), s("22"), s("-"), s("-"), s("O"), s("-"), s("1")});
    builder.named({{s("X_EMPLEADO"), s("A")}, {s("X_MATERIAOMG"), s("M100")}, {s("X_OFERTAMATRIG"), s("C1")},
        {s("V3"), s("-")}, {s("X_UNIDAD"), s("G1")}, {s("X_NIVCONPAGLEG"), values.level}, {s("V6"), s("-")},
        {s("SESIONES"), values.pattern}});
    return builder;
}

class WholeNumberCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.workDir = dir.filePath(s("KTEMP"));
        session.programDir = dir.path();
        dbf::createTable(dir.filePath(s("SENEMATERIAS.DBF")),
            {dbf::charField("NOMBRE", 80), dbf::charField("COD", 10), dbf::charField("CODLARGO", 10)});
    }

    // The message of the check, or the empty text when it passes.
    QString check(const ExchangeBuilder &senecaDocument, const ExchangeBuilder &planningDocument)
    {
        ExportRun run(session, ui);
        run.setDocuments(senecaDocument.document(), planningDocument.document());
        try {
            run.checkWholeNumbers();
        } catch (const UserError &error) {
            return error.message();
        }
        return QString();
    }

    // Every table an earlier export leaves, each with a record of its own.
    void writeEarlierExport()
    {
        QDir().mkpath(session.workDir);
        const std::vector<std::pair<const QString &, const dbf::Layout &>> tables = {
            {periods_table::fileName(), periods_table::layout()},
            {courses_table::fileName(), courses_table::layout()},
            {course_memory_table::fileName(), course_memory_table::layout()},
            {subjects_table::fileName(), subjects_table::layout()},
            {subject_offers_table::fileName(), subject_offers_table::layout()},
            {teachers_table::fileName(), teachers_table::layout()},
            {rooms_table::fileName(), rooms_table::layout()},
            {groups_table::fileName(), groups_table::layout()},
            {assignments_table::fileName(), assignments_table::layout()},
            {days_hours_table::fileName(), days_hours_table::layout()},
            {origins_table::fileName(), origins_table::layout()},
            {levels_table::fileName(), levels_table::layout()},
            {course_levels_table::fileName(), course_levels_table::layout()},
            {authorisations_table::fileName(), authorisations_table::layout()},
        };
        for (const auto &[name, layout] : tables) {
            QStringList row;
            for (const dbf::FieldDef &field : layout)
                row << (field.type == dbf::FieldType::Character ? QStringLiteral("VIEJO")
                        : field.type == dbf::FieldType::Logical ? QStringLiteral("T")
                                                                : QStringLiteral("1"));
            writeTableRows(session.workPath(name), layout, {row});
        }
    }

    QMap<QString, QByteArray> workFolder() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(session.workDir, QDir::Files);
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly))
                files.insert(it.fileName(), file.readAll());
        }
        return files;
    }

    QTemporaryDir dir;
    Session session;
    ScriptedInterface ui;
};

} // namespace

TEST_F(WholeNumberCheck, ABadValueInAnyOfTheFourPlacesLeavesAnEarlierExportByteForByte)
{
    struct Case {
        const char *place;
        SenecaValues seneca;
        AssignmentValues planning;
        QString expectedLine;
    };
    SenecaValues badStart;
    badStart.slotStart = s("8:00");
    SenecaValues badLevel;
    badLevel.levelKey = s("doce");
    AssignmentValues badPattern;
    badPattern.pattern = s("2x1");
    AssignmentValues badLevelKey;
    badLevelKey.level = s("1,5");
    const std::vector<Case> cases = {
        {"slot start", badStart, {}, s("- TRAMOS_HORARIOS, registro 1, campo N_INICIO: «8:00» no es un número entero")},
        {"catalogue integer", badLevel, {},
            s("- NIVELES, registro 2, campo X_NIVCONPAGLEG: «doce» no es un número entero")},
        {"lesson pattern", {}, badPattern, s("- PROFESOR_1, registro 2, campo SESIONES: '2x1'")},
        {"level key", {}, badLevelKey,
            s("- PROFESOR_1, registro 2, campo X_NIVCONPAGLEG: «1,5» no es un número entero")},
    };
    writeEarlierExport();
    const QMap<QString, QByteArray> before = workFolder();
    ASSERT_EQ(before.size(), 14);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.place);
        ui.fileChoices = {seneca(c.seneca).writeTo(dir.path(), s("seneca.xml")),
            planning(c.planning).writeTo(dir.path(), s("planificacion.xml"))};
        ui.messages.clear();
        ExportRun run(session, ui);
        try {
            run.run();
            ADD_FAILURE() << "the export went on";
        } catch (const UserError &error) {
            EXPECT_TRUE(error.message().contains(c.expectedLine)) << error.what();
            EXPECT_TRUE(error.message().contains(s("No se ha borrado ni escrito ninguna tabla"))) << error.what();
        }
        EXPECT_TRUE(run.tablesWritten.isEmpty());
        EXPECT_EQ(ui.courseDialogsShown, 0);
        EXPECT_EQ(ui.frameDialogsShown, 0);
        EXPECT_EQ(workFolder(), before);
    }
}

TEST_F(WholeNumberCheck, GoodValuesPass)
{
    SenecaValues values;
    values.slotStart = s(" -480 "); // four characters once trimmed: read as it stands
    values.slotEnd = s(""); // read as "0"
    values.levelKey = s(" +7 ");
    AssignmentValues assignment;
    assignment.level = s("   "); // empty once trimmed: the field is left empty
    assignment.pattern = s("");
    EXPECT_EQ(check(seneca(values), planning(assignment)), QString());
}

TEST_F(WholeNumberCheck, EveryBadValueOfBothFilesIsListedInOneMessage)
{
    ExchangeBuilder senecaDocument;
    senecaDocument.group(s("TRAMOS_HORARIOS"))
        .record({s("1"), s("a"), s("-5"), s("99999999999"), s("OTRO")}) // a frame nobody chooses
        .record({s("2")}); // missing start and end read as 0
    senecaDocument.group(s("AUTORIZACIONES"))
        .record({s("1"), s("2"), s("3")})
        .record({s("x")}) // one value: not an entry
        .record({s("1"), s(""), s("3"), s("4")});
    senecaDocument.group(s("CURSOS_NIVELES"))
        .record({s("1\t"), s("2")}) // only spaces are trimmed
        .record({s("-2147483648"), s("2147483647")}); // the smallest number has no form in the table
    ExchangeBuilder planningDocument;
    planningDocument.top(s("OTRO"));
    planningDocument.top(s("PROFESOR_9")); // beyond the count of teachers: checked all the same
    planningDocument.record({s("A"), s("M"), s("C"), s("-"), s("G"), s("x"), s("-"), s(" 22")});
    planningDocument.record({});

    const QString message = check(senecaDocument, planningDocument);
    const QStringList lines = message.split(QLatin1Char('\n'));
    const QStringList problems = lines.filter(QRegularExpression(s("^- ")));
    EXPECT_EQ(problems,
        (QStringList{
            s("- TRAMOS_HORARIOS, registro 1, campo V2: «0-5» no es un número entero (el texto '-5' con un 0 "
              "delante)"),
            s("- TRAMOS_HORARIOS, registro 1, campo V3: «99999999999» no es un número entero"),
            s("- CURSOS_NIVELES, registro 1, campo V0: «1\t» no es un número entero"),
            s("- CURSOS_NIVELES, registro 2, campo V0: '-2147483648' está fuera del rango de un entero de la tabla"),
            s("- AUTORIZACIONES, registro 1, posición 3: falta el valor, que debe ser un número entero"),
            s("- AUTORIZACIONES, registro 3, campo V1: «» no es un número entero"),
            s("- PROFESOR_9, registro 1, campo V5: «x» no es un número entero"),
            s("- PROFESOR_9, registro 1, campo V7: ' 22' debe tener una cifra por clase semanal: « » no es un número "
              "entero"),
        }))
        << message.toStdString();
    EXPECT_TRUE(message.contains(s("Archivo de Séneca"))) << message.toStdString();
    EXPECT_TRUE(message.contains(s("Archivo de Planificación"))) << message.toStdString();
}
