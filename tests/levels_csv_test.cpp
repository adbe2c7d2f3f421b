// The --levels file: a header names CLAVE, NIVEL and CURSO and decides the
// separator; UTF-8 or Windows-1252; quoted cells; trimmed values.
#include "common/user_error.h"
#include "export/levels_csv.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// One row as "line:CLAVE|NIVEL|CURSO", so a failing case prints readable text.
std::vector<std::string> described(const LevelsCsv &csv)
{
    std::vector<std::string> rows;
    for (const LevelsRow &row : csv.rows)
        rows.push_back(
            std::to_string(row.line) + ':' + QStringList{row.clave, row.nivel, row.curso}.join('|').toStdString());
    return rows;
}

struct ReadCase {
    const char *what;
    QByteArray bytes;
    std::vector<std::string> rows;
};

struct RefusedCase {
    const char *what;
    QByteArray bytes;
    const char *messagePart;
};

} // namespace

TEST(LevelsCsv, ReadsEachRowOfTheDocumentedForms)
{
    const ReadCase cases[] = {
        {"semicolons", "CLAVE;NIVEL;CURSO\n1001;ESO;1\n1002;BCT;2\n", {"2:1001|ESO|1", "3:1002|BCT|2"}},
        {"commas and lower-case names", "clave,nivel,curso\n1001,ESO,1\n", {"2:1001|ESO|1"}},
        {"any order, any case, other columns ignored", "Estud;Curso;CLAVE;Otra;Nivel\nPrimero;1;1001;x;ESO\n",
            {"2:1001|ESO|1"}},
        {"the separator the header uses, the other one stays in values", "CLAVE;NIVEL;CURSO\n1001;E,S;1\n",
            {"2:1001|E,S|1"}},
        {"a comma header with a semicolon in a description", "CLAVE,ESTUD,NIVEL,CURSO\n1001,Uno; dos,ESO,1\n",
            {"2:1001|ESO|1"}},
        {"UTF-8 with a BOM",
            "\xEF\xBB\xBF"
            "CLAVE;NIVEL;CURSO\n1001;\xC3\x91"
            "ES;1\n",
            {"2:1001|ÑES|1"}},
        {"UTF-8 without a BOM", "CLAVE;NIVEL;CURSO\n1001;EDSO;1\xC2\xBA\n", {"2:1001|EDSO|1º"}},
        {"Windows-1252, not valid UTF-8",
            "CLAVE;NIVEL;CURSO\n1001;\xD1"
            "ES;1\xBA\n",
            {"2:1001|ÑES|1º"}},
        {"values trimmed of spaces", "  CLAVE ; NIVEL;CURSO \n 1001 ;  ESO ; 1 \n", {"2:1001|ESO|1"}},
        {"empty cells and short rows stay empty", "CLAVE;NIVEL;CURSO\n1001;;2\n1002;BT\n1003\n",
            {"2:1001||2", "3:1002|BT|", "4:1003||"}},
        {"blank lines, rows of empty cells and a missing last line break", "\nCLAVE;NIVEL;CURSO\n\n;;\n1001;ESO;1",
            {"5:1001|ESO|1"}},
        {"CR LF and lone CR line breaks", "CLAVE;NIVEL;CURSO\r\n1001;ESO;1\r1002;BCT;2\r\n",
            {"2:1001|ESO|1", "3:1002|BCT|2"}},
        {"quoted cells with separators, doubled quotes and line breaks",
            "CLAVE;ESTUD;NIVEL;CURSO\n\"1001\";\"Uno;\n\"\"dos\"\"\";\"E;O\";1\n1002;x;BT;2\n",
            {"2:1001|E;O|1", "4:1002|BT|2"}},
        {"a header only", "CLAVE;NIVEL;CURSO\n", {}},
    };
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(described(parseLevelsCsv(c.bytes, QStringLiteral("niveles.csv"))), c.rows);
    }
}

TEST(LevelsCsv, RefusesAFileItCannotReadWithAMessageNamingIt)
{
    const RefusedCase cases[] = {
        {"no CURSO column", "CLAVE;NIVEL\n1001;ESO\n", "CLAVE, NIVEL y CURSO"},
        {"an empty file", "", "CLAVE, NIVEL y CURSO"},
        {"the header names are data", "1001;ESO;1\n", "CLAVE, NIVEL y CURSO"},
        {"a column named twice", "CLAVE;NIVEL;CURSO;nivel\n", "dos columnas NIVEL"},
        {"a quote left open", "CLAVE;NIVEL;CURSO\n1001;ESO;1\n\"1002;BCT;2\n", "comillas sin cerrar en la línea 3"},
    };
    for (const RefusedCase &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            parseLevelsCsv(c.bytes, QStringLiteral("niveles.csv"));
            ADD_FAILURE() << "accepted";
        } catch (const UserError &error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("niveles.csv"))) << error.what();
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.messagePart))) << error.what();
        }
    }
}

TEST(LevelsCsv, AMissingFileIsReportedByName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no_existe.csv"));
    try {
        readLevelsCsv(path);
        ADD_FAILURE() << "read a missing file";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("no_existe.csv"))) << error.what();
    }
}

TEST(LevelsCsv, LinesItWritesReadBackAsTheyWere)
{
    const QStringList cells = {
        QStringLiteral("1001"), QStringLiteral("E;S"), QStringLiteral("1,"), QStringLiteral("Dice \"hola\"\ny adiós")};
    EXPECT_EQ(levelsCsvLine(cells), QStringLiteral("1001;\"E;S\";\"1,\";\"Dice \"\"hola\"\"\ny adiós\""));
    const QString text = levelsCsvLine({QStringLiteral("CLAVE"), QStringLiteral("NIVEL"), QStringLiteral("CURSO"),
                             QStringLiteral("ESTUD")})
        + QLatin1Char('\n') + levelsCsvLine(cells) + QLatin1Char('\n');
    EXPECT_EQ(
        described(parseLevelsCsv(text.toUtf8(), QStringLiteral("x.csv"))), std::vector<std::string>{"2:1001|E;S|1,"});
}
