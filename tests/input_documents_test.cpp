// Both input files are read at once, with the errors a reading of one after the other gives.
#include "common/user_error.h"
#include "export/input_documents.h"
#include "support/exchange_builder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const UserError &error) {
        return error.message();
    }
    return QString();
}

class InputDocumentsReading : public ::testing::Test {
protected:
    QString broken(const QString &name)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        // Each broken in its own bytes: two equal files would be the same file chosen twice.
        file.write("<SERVICIO><BLOQUE_DATOS><!-- " + name.toUtf8() + " -->");
        return path;
    }

    QTemporaryDir dir;
    const QString seneca = ExchangeBuilder()
                               .group(QStringLiteral("MATERIAS"))
                               .subject(QStringLiteral("C1"), QStringLiteral("Física"), QStringLiteral("1"))
                               .writeTo(dir.path(), QStringLiteral("seneca.xml"));
    const QString planning = ExchangeBuilder()
                                 .top(QStringLiteral("PROFESOR_1"), {QStringLiteral("E1")})
                                 .writeTo(dir.path(), QStringLiteral("planificacion.xml"));
};

TEST_F(InputDocumentsReading, ReadsBothFiles)
{
    const InputDocuments documents = readInputDocuments(seneca, planning);
    EXPECT_EQ(documents.seneca.path(), seneca);
    EXPECT_EQ(documents.seneca.records(QStringLiteral("MATERIAS")).size(), 1u);
    EXPECT_EQ(documents.planning.path(), planning);
    ASSERT_EQ(documents.planning.groups().size(), 1u);
    EXPECT_EQ(documents.planning.groups().front().own.value(0), QStringLiteral("E1"));
}

TEST_F(InputDocumentsReading, WorkOnTheSenecaDocumentCanGoOnWhileThePlanningFileIsRead)
{
    int calls = 0;
    const InputDocuments documents = readInputDocuments(seneca, planning, [&](const ExchangeDocument &document) {
        ++calls;
        EXPECT_EQ(document.path(), seneca);
        EXPECT_EQ(document.records(QStringLiteral("MATERIAS")).size(), 1u);
    });
    EXPECT_EQ(calls, 1);
    const QString badSeneca = broken(QStringLiteral("seneca-roto.xml"));
    EXPECT_THROW(readInputDocuments(badSeneca, planning, [&](const ExchangeDocument &) { ++calls; }), UserError);
    EXPECT_EQ(calls, 1);
}

TEST_F(InputDocumentsReading, TheSenecaFilesErrorComesFirstThenThePlanningFiles)
{
    const QString badSeneca = broken(QStringLiteral("seneca-roto.xml"));
    const QString badPlanning = broken(QStringLiteral("planificacion-rota.xml"));
    const QString senecaError = messageOf([&] { ExchangeDocument::load(badSeneca); });
    const QString planningError = messageOf([&] { ExchangeDocument::load(badPlanning); });
    ASSERT_FALSE(senecaError.isEmpty());
    ASSERT_FALSE(planningError.isEmpty());
    EXPECT_EQ(messageOf([&] { readInputDocuments(badSeneca, badPlanning); }), senecaError);
    EXPECT_EQ(messageOf([&] { readInputDocuments(badSeneca, planning); }), senecaError);
    EXPECT_EQ(messageOf([&] { readInputDocuments(seneca, badPlanning); }), planningError);
}

} // namespace
