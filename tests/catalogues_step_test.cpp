// Step 10: the four reference catalogues, and the presence signal of ORIGENES_C.DBF.
#include "common/dbf_table.h"
#include "export/authorisations_table.h"
#include "export/course_levels_table.h"
#include "export/export_run.h"
#include "export/levels_table.h"
#include "export/origins_table.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"
#include "support/table_rows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CataloguesStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.workDir = dir.path();
        session.programDir = dir.path();
    }

    QStringList run(const ExchangeBuilder &seneca)
    {
        ExportRun run(session, ui);
        run.setDocuments(seneca.document(), ExchangeBuilder().document());
        run.buildCatalogueTables();
        return run.tablesWritten;
    }

    QString path(const QString &fileName) const { return session.workPath(fileName); }

    QByteArray bytes(const QString &fileName) const
    {
        QFile file(path(fileName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    Session session;
    ScriptedInterface ui;
};

ExchangeBuilder origins()
{
    ExchangeBuilder seneca;
    seneca.group(QStringLiteral("ORIGENES"))
        .record({QStringLiteral(" 7 "), QStringLiteral("LECTIVA"), QStringLiteral("Horario lectivo")})
        .record({QStringLiteral("9")})
        .record({QStringLiteral("3"), QStringLiteral("NO_LECTIVA"), QStringLiteral("Horario no lectivo")})
        .record({QStringLiteral("7"), QStringLiteral("LECTIVA"), QStringLiteral("Horario lectivo")});
    return seneca;
}

} // namespace

TEST_F(CataloguesStep, EachCatalogueIsCopiedInDocumentOrderWithItsIntegersAsNumbers)
{
    ExchangeBuilder seneca = origins();
    seneca.group(QStringLiteral("NIVELES"))
        .record({QStringLiteral("-12"), QStringLiteral("ESO"), QStringLiteral("Educación Secundaria Obligatoria")})
        .record({QStringLiteral("+4"), QStringLiteral("BACH")});
    seneca.group(QStringLiteral("CURSOS_NIVELES"))
        .record({QStringLiteral("1001"), QStringLiteral("12")})
        .record({QStringLiteral("1001")})
        .record({QStringLiteral("1002"), QStringLiteral(" 4"), QStringLiteral("sobra")});
    seneca.group(QStringLiteral("AUTORIZACIONES"))
        .record({QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("12")})
        .record(
            {QStringLiteral("2147483647"), QStringLiteral("-2147483647"), QStringLiteral("0"), QStringLiteral("4")});

    EXPECT_EQ(run(seneca),
        (QStringList{origins_table::fileName(), levels_table::fileName(), course_levels_table::fileName(),
            authorisations_table::fileName()}));
    EXPECT_EQ(readTableRows(path(origins_table::fileName())),
        (TableRows{{QStringLiteral("7"), QStringLiteral("LECTIVA"), QStringLiteral("Horario lectivo")},
            {QStringLiteral("3"), QStringLiteral("NO_LECTIVA"), QStringLiteral("Horario no lectivo")},
            {QStringLiteral("7"), QStringLiteral("LECTIVA"), QStringLiteral("Horario lectivo")}}));
    EXPECT_EQ(readTableRows(path(levels_table::fileName())),
        (TableRows{{QStringLiteral("-12"), QStringLiteral("ESO"), QStringLiteral("Educación Secundaria Obligatoria")},
            {QStringLiteral("4"), QStringLiteral("BACH"), QString()}}));
    EXPECT_EQ(readTableRows(path(course_levels_table::fileName())),
        (TableRows{{QStringLiteral("1001"), QStringLiteral("12")}, {QStringLiteral("1002"), QStringLiteral("4")}}));
    EXPECT_EQ(readTableRows(path(authorisations_table::fileName())),
        (TableRows{{QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("12")},
            {QStringLiteral("2147483647"), QStringLiteral("-2147483647"), QStringLiteral("0"), QStringLiteral("4")}}));
    EXPECT_EQ(tableFieldNames(path(authorisations_table::fileName())),
        (QStringList{QStringLiteral("X_ORIHORACTETP"), QStringLiteral("X_ACTIVIDAD"), QStringLiteral("X_CATORIHOR"),
            QStringLiteral("X_NIVCONPAGLEG")}));
}

TEST_F(CataloguesStep, WithoutOriginsNoCatalogueIsWrittenAndEarlierOnesStayAsTheyWere)
{
    writeTableRows(path(origins_table::fileName()), origins_table::layout(), {{QStringLiteral("1")}});
    QFile mdx(dir.filePath(QStringLiteral("ORIGENES_C.MDX")));
    ASSERT_TRUE(mdx.open(QIODevice::WriteOnly));
    mdx.close();
    writeTableRows(
        path(levels_table::fileName()), levels_table::layout(), {{QStringLiteral("1"), QStringLiteral("A")}});
    writeTableRows(path(course_levels_table::fileName()), course_levels_table::layout(),
        {{QStringLiteral("1"), QStringLiteral("2")}});
    writeTableRows(path(authorisations_table::fileName()), authorisations_table::layout(), {{QStringLiteral("1")}});
    const QByteArray levels = bytes(levels_table::fileName());
    const QByteArray courseLevels = bytes(course_levels_table::fileName());
    const QByteArray authorisations = bytes(authorisations_table::fileName());

    ExchangeBuilder seneca;
    seneca.group(QStringLiteral("NIVELES")).record({QStringLiteral("99"), QStringLiteral("NUEVO")});
    EXPECT_TRUE(run(seneca).isEmpty());

    EXPECT_FALSE(QFile::exists(path(origins_table::fileName())));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("ORIGENES_C.MDX"))));
    EXPECT_EQ(bytes(levels_table::fileName()), levels);
    EXPECT_EQ(bytes(course_levels_table::fileName()), courseLevels);
    EXPECT_EQ(bytes(authorisations_table::fileName()), authorisations);
}

TEST_F(CataloguesStep, OriginsWithoutTheOtherGroupsGiveEmptyTablesInPlaceOfEarlierOnes)
{
    writeTableRows(
        path(levels_table::fileName()), levels_table::layout(), {{QStringLiteral("1"), QStringLiteral("A")}});
    run(origins());
    EXPECT_EQ(readTableRows(path(origins_table::fileName())).size(), 3u);
    for (const QString &name :
        {levels_table::fileName(), course_levels_table::fileName(), authorisations_table::fileName()}) {
        EXPECT_TRUE(QFile::exists(path(name))) << name.toStdString();
        EXPECT_TRUE(readTableRows(path(name)).empty()) << name.toStdString();
    }
}

TEST_F(CataloguesStep, OriginRecordsWithASingleValueEachGiveAnEmptyOriginsTable)
{
    ExchangeBuilder seneca;
    seneca.group(QStringLiteral("ORIGENES")).record({QStringLiteral("7")}).record({});
    run(seneca);
    EXPECT_TRUE(QFile::exists(path(origins_table::fileName())));
    EXPECT_TRUE(readTableRows(path(origins_table::fileName())).empty());
}
