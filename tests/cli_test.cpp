// The command line program: usage, exit statuses and the show command.
#include "common/dbf_table.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result transhoravo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(HORAVO_BIN_DIR "/transhoravo"), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(CommandLine, WrongUsageExitsWithTwoAndAUsageText)
{
    const QStringList cases[] = {
        {},
        {QStringLiteral("convertir")},
        {QStringLiteral("export")},
        {QStringLiteral("export"), QStringLiteral("--seneca"), QStringLiteral("a.xml")},
        {QStringLiteral("export"), QStringLiteral("--opcion-rara")},
        {QStringLiteral("import")},
        {QStringLiteral("show")},
        {QStringLiteral("show"), QStringLiteral("a.dbf"), QStringLiteral("--csv"), QStringLiteral("--json")},
    };
    for (const QStringList &arguments : cases) {
        const Result result = transhoravo(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(result.err.isEmpty()) << arguments.join(QLatin1Char(' ')).toStdString();
    }
}

TEST(CommandLine, HelpAndVersionSucceedAndSpeakSpanish)
{
    EXPECT_EQ(transhoravo({QStringLiteral("--help")}).status, 0);
    for (const char *command : {"export", "import", "show"}) {
        const Result help = transhoravo({QLatin1String(command), QStringLiteral("--help")});
        EXPECT_EQ(help.status, 0) << command;
        for (const char *spanish : {"Uso:", "Opciones:", "Muestra esta ayuda.", "Muestra la versión del programa."})
            EXPECT_TRUE(help.out.contains(QString::fromUtf8(spanish))) << command << ": " << help.out.toStdString();
        for (const char *english : {"Usage", "Options", "Displays", "FILE", "DIR"})
            EXPECT_FALSE(help.out.contains(QLatin1String(english))) << command << ": " << help.out.toStdString();
    }
    const Result wrong = transhoravo({QStringLiteral("import"), QStringLiteral("--opcion-rara")});
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("Opción desconocida"))) << wrong.err.toStdString();
    const Result version = transhoravo({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.contains(QStringLiteral(HORAVO_VERSION)));
}

TEST(CommandLine, AMissingInputFileSaysNoFileAndWritesNothing)
{
    QTemporaryDir dir;
    const Result result = transhoravo({QStringLiteral("export"), QStringLiteral("--seneca"),
        dir.filePath(QStringLiteral("no.xml")), QStringLiteral("--planning"), dir.filePath(QStringLiteral("no2.xml")),
        QStringLiteral("--ktemp"), dir.filePath(QStringLiteral("KTEMP"))});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("No existe archivo"))) << result.err.toStdString();
    EXPECT_FALSE(result.err.contains(QStringLiteral("Seleccione"))) << "file prompts are not shown";
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("KTEMP"))));
}

TEST(CommandLine, ShowPrintsFieldsAndRecordsAsTextCsvAndJson)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T.DBF"));
    dbf::createTable(path, {dbf::charField("NOMBRE", 20), dbf::intField("N")});
    {
        dbf::Table table(path);
        table.open();
        const int row = table.appendBlank();
        table.setText(row, 0, QStringLiteral("Química, \"orgánica\""));
        table.setInteger(row, 1, 7);
        table.post(row);
    }
    const Result csv = transhoravo({QStringLiteral("show"), path, QStringLiteral("--csv")});
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out, QStringLiteral("NOMBRE,N\n\"Química, \"\"orgánica\"\"\",7\n"));
    const Result json = transhoravo({QStringLiteral("show"), path, QStringLiteral("--json")});
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(json.out.contains(QStringLiteral("\"N\": \"7\""))) << json.out.toStdString();
    const Result text = transhoravo({QStringLiteral("show"), path});
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("NOMBRE C 20"))) << text.out.toStdString();
}

TEST(CommandLine, ShowReportsAFileThatIsNotATable)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ROTO.DBF"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("esto no es una tabla");
    file.close();
    const Result result = transhoravo({QStringLiteral("show"), path});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("ROTO.DBF"))) << result.err.toStdString();
}
