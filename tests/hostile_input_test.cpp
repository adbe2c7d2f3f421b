// Files made to hurt the reader: entities that expand into gigabytes, nesting past
// any school's, values past libxml2's limits, bytes the declared encoding lacks,
// broken markup. Every reader of a school's file (the export's Séneca file, the
// planning file, the import's Séneca file, and the tree) refuses them at once, in
// Spanish, naming the file and where, and libxml2 writes nothing to standard error.
#include "common/exchange_document.h"
#include "common/exchange_values.h"
#include "common/user_error.h"
#include "common/xml_document.h"
#include "import/seneca_frame.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace {

const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// A Séneca-shaped document with `inside` as the text of one value, on line 4.
QByteArray withValue(const QByteArray &inside, const QByteArray &head = kHead, const QByteArray &doctype = {})
{
    return head + doctype + "<SERVICIO>\n<BLOQUE_DATOS>\n<grupo_datos seq=\"EMPLEADOS\"><grupo_datos seq=\"ID_1\">"
        + "<dato nombre_dato=\"X_EMPLEADO\">1</dato><dato nombre_dato=\"T_NOMBRE\">" + inside
        + "</dato></grupo_datos></grupo_datos>\n</BLOQUE_DATOS>\n</SERVICIO>\n";
}

QByteArray billionLaughs()
{
    QByteArray dtd = "<!DOCTYPE SERVICIO [\n<!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i < 10; ++i)
        dtd += QStringLiteral("<!ENTITY lol%1 \"%2\">\n")
                   .arg(i)
                   .arg(QStringLiteral("&lol%1;").arg(i - 1).repeated(10))
                   .toLatin1();
    dtd += "]>\n";
    return withValue("&lol9;", kHead, dtd);
}

QByteArray quadraticBlowup()
{
    const QByteArray dtd = "<!DOCTYPE SERVICIO [<!ENTITY a \"" + QByteArray(50000, 'a') + "\">]>\n";
    return withValue(QByteArray("&a;").repeated(40000), kHead, dtd);
}

QByteArray deepNesting()
{
    return withValue(QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000));
}

QByteArray hugeValue()
{
    return withValue(QByteArray(10'000'001, 'x'));
}

QByteArray hugeAttributeValue()
{
    return kHead + "<SERVICIO>\n<BLOQUE_DATOS>\n<grupo_datos seq=\"" + QByteArray(10'000'001, 's')
        + "\"/>\n</BLOQUE_DATOS>\n</SERVICIO>\n";
}

QByteArray hugeAttributeName()
{
    return kHead + "<SERVICIO>\n<BLOQUE_DATOS>\n<grupo_datos " + QByteArray(3'000'000, 's')
        + "=\"1\"/>\n</BLOQUE_DATOS>\n</SERVICIO>\n";
}

// Whatever the block writes to standard error while it runs.
QByteArray standardErrorOf(const std::function<void()> &block)
{
    std::fflush(stderr);
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("stderr")));
    const int saved = dup(2);
    const int file = open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    dup2(file, 2);
    close(file);
    block();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    QFile written(QString::fromLocal8Bit(path));
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray("(no se pudo leer)");
}

struct Reader {
    const char *name;
    std::function<void(const QString &)> read;
};

const Reader kReaders[] = {
    {"la exportación (Séneca)", [](const QString &path) { ExchangeDocument::read(path); }},
    {"la exportación (Planificación)", [](const QString &path) { ExchangeValues::read(path); }},
    {"la importación (Séneca)", [](const QString &path) { SenecaFrame::read(path); }},
    {"el árbol", [](const QString &path) { ExchangeDocument::load(path); }},
};

struct HostileCase {
    const char *name;
    std::function<QByteArray()> bytes;
    QStringList expected; // fragments of the message, besides the file's name
};

const HostileCase kHostileCases[] = {
    {"billion laughs", billionLaughs, {QStringLiteral("declara entidades"), QStringLiteral("línea 3")}},
    {"quadratic blowup", quadraticBlowup, {QStringLiteral("declara entidades"), QStringLiteral("línea 2")}},
    {"deep nesting", deepNesting, {QStringLiteral("256 niveles"), QStringLiteral("línea 4")}},
    {"value past the limit", hugeValue, {QStringLiteral("más largo"), QStringLiteral("línea 4")}},
    {"attribute value past the limit", hugeAttributeValue, {QStringLiteral("más largo"), QStringLiteral("línea 4")}},
    {"attribute name past the limit", hugeAttributeName, {QStringLiteral("más largo"), QStringLiteral("línea 4")}},
    {"byte undefined in windows-1252",
        [] { return withValue("Mu\x81oz", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n"); },
        {QStringLiteral("byte que no es válido en la codificación windows-1252"), QStringLiteral("línea 4")}},
    {"byte that is not UTF-8", [] { return withValue("Mu\xF1oz"); },
        {QStringLiteral("byte que no es válido en la codificación UTF-8"), QStringLiteral("línea 4")}},
    {"closing tag of another element",
        [] {
            return kHead
                + "<SERVICIO>\n<BLOQUE_DATOS>\n<grupo_datos seq=\"X\">\n</dato>\n</BLOQUE_DATOS>\n</SERVICIO>\n";
        },
        {QStringLiteral("etiqueta de cierre"), QStringLiteral("línea 5, columna")}},
    {"bare ampersand", [] { return withValue("Ruiz & Cía"); },
        {QStringLiteral("«&»"), QStringLiteral("línea 4, columna")}},
    {"cut short", [] { return kHead + "<SERVICIO>\n<BLOQUE_DATOS>\n<grupo_datos seq=\"X\">"; },
        {QStringLiteral("no se cierra"), QStringLiteral("línea 4")}},
};

} // namespace

TEST(HostileInput, EveryReaderRefusesInSpanishNamingTheFileAndWhereAndLibxml2SaysNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const HostileCase &c : kHostileCases) {
        const QString path = dir.filePath(QStringLiteral("hostil.xml"));
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(c.bytes());
        }
        for (const Reader &reader : kReaders) {
            SCOPED_TRACE(std::string(c.name) + " / " + reader.name);
            QString message;
            const QByteArray said = standardErrorOf([&] {
                try {
                    reader.read(path);
                } catch (const UserError &error) {
                    message = error.message();
                }
            });
            EXPECT_TRUE(said.isEmpty()) << said.left(500).toStdString();
            EXPECT_TRUE(message.contains(path)) << message.toStdString();
            for (const QString &fragment : c.expected)
                EXPECT_TRUE(message.contains(fragment)) << message.left(500).toStdString();
            EXPECT_FALSE(message.contains(QStringLiteral("Premature"))) << message.toStdString();
        }
    }
}

TEST(HostileInput, ADocumentTypeWithoutEntitiesAndCharacterReferencesAreStillRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("seneca.xml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(withValue("&#321;ukasz &amp; &lt;Ana&gt;", kHead, "<!DOCTYPE SERVICIO>\n"));
    file.close();
    for (const Reader &reader : kReaders) {
        SCOPED_TRACE(reader.name);
        EXPECT_NO_THROW(reader.read(path));
    }
    const ExchangeDocument document = ExchangeDocument::read(path);
    EXPECT_EQ(document.records(QStringLiteral("EMPLEADOS")).at(0).value(1), QStringLiteral("Łukasz & <Ana>"));
}
