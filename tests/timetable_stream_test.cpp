// The timetable document written as a stream against the same document built as a
// libxml2 tree and saved, as the import wrote it before: byte for byte, for Séneca
// files of every encoding and shape and for values that need escaping, fall
// outside the file's encoding, or are empty.
#include "common/cp1252.h"
#include "common/user_error.h"
#include "import/seneca_frame.h"
#include "import/timetable_document.h"
#include "import/timetable_reader.h"
#include "support/tree_timetable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

using ::testing::HasSubstr;

namespace {

struct SenecaFile {
    const char *label;
    QByteArray bytes;
};

QByteArray encoded(const char *encoding, const QString &text)
{
    // Qt knows Windows-1252 only through ICU, which the Windows build has not.
    if (qstrcmp(encoding, "windows-1252") == 0)
        return cp1252::encode(text);
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder(text);
}

const QString kBody = QStringLiteral("<SERVICIO modulo=\"EXPORTACION\"><BLOQUE_DATOS><grupo_datos seq=\"ANNO\">"
                                     "<dato nombre_dato=\"C_ANNO\">2024/2025 Año</dato></grupo_datos>"
                                     "</BLOQUE_DATOS></SERVICIO>");

// Every declaration and encoding a Séneca file may come with, and nodes around its root.
std::vector<SenecaFile> senecaFiles()
{
    return {
        {"ISO-8859-1",
            encoded("ISO-8859-1", QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n") + kBody + "\n")},
        {"lower-case iso-8859-1, comments, PI and a DOCTYPE with an internal subset",
            encoded("ISO-8859-1",
                QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n"
                               "<!-- exportado por Séneca: ñ -->\n<?proceso datos=\"sí\"?>\n"
                               "<!DOCTYPE SERVICIO [\n<!ELEMENT dato (#PCDATA)>\n"
                               "<!ATTLIST dato nombre_dato CDATA #REQUIRED>\n<!-- en el subconjunto -->\n]>\n")
                    + kBody + QStringLiteral("\n<!-- fin -->\n<?fin ya?>\n"))},
        {"UTF-8 without a declaration", encoded("UTF-8", kBody)},
        {"a DOCTYPE naming XHTML, under which libxml2 writes no empty-element tags",
            encoded("UTF-8",
                QStringLiteral("<!DOCTYPE SERVICIO PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                               "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">")
                    + kBody)},
        {"UTF-8 declared, standalone",
            encoded("UTF-8",
                QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" "
                               "standalone=\"yes\"?>")
                    + kBody)},
        {"standalone no, version only",
            encoded("UTF-8", QStringLiteral("<?xml version=\"1.0\" standalone=\"no\"?>") + kBody)},
        {"windows-1252",
            encoded("windows-1252", QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n") + kBody)},
        {"latin1 by another name",
            encoded("ISO-8859-1", QStringLiteral("<?xml version=\"1.0\" encoding=\"latin1\"?>\n") + kBody)},
        {"UTF-16 with its byte order mark",
            encoded("UTF-16", QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n") + kBody)},
    };
}

// Values of every kind a dato may hold.
const std::vector<QString> &awkwardValues()
{
    static const std::vector<QString> values = {
        QStringLiteral("Ñu, áéíóú ÿ ª º ¿¡"),
        QStringLiteral("€ Œ ‘comillas’ 中 😀"),
        QStringLiteral("a&b<c>d\"e'f ]]> &amp;"),
        QStringLiteral("línea\r\nsiguiente\tcon tabulador\r"),
        QStringLiteral(" "),
        QString(),
        QStringLiteral("\u00A0\u0080\u009F\uFFFD"),
    };
    return values;
}

// The same calls on the stream and on the tree.
template <typename Document> void awkwardDocument(Document &document)
{
    document.startGroup("ANNO_ACADEMICO");
    document.dato("C_ANNO", QStringLiteral("2024"));
    document.endGroup();
    document.startGroup("HORARIOS_NO_REGULARES", 0);
    document.endGroup();
    document.startGroup("HORARIOS_REGULARES", 1);
    document.startGroup(TimetableDocument::numbered("HORARIO_REGULAR_PROFESOR_", 1), 2);
    document.dato("X_EMPLEADO", QStringLiteral("1001"));
    document.dato("F_TOMAPOS", QString());
    for (int record = 1; record <= 2; ++record) {
        document.startGroup(TimetableDocument::numbered("ACTIVIDAD_", record));
        for (const QString &value : awkwardValues())
            document.dato("X_ORIHORACTETP", value);
        document.endGroup();
    }
    document.endGroup();
    document.endGroup();
}

template <typename Document> void valuesDocument(Document &document, const std::vector<QString> &values)
{
    document.startGroup("R", int(values.size()));
    for (const QString &value : values)
        document.dato("V", value);
    document.endGroup();
}

// Groups the import never writes but a reader still files: a dato straight under
// the block, a record with a group inside it, padded values.
void unusualGroups(TimetableDocument &document)
{
    document.startGroup("OTRA_SECCION");
    document.dato("X_EMPLEADO", QStringLiteral("  7  "));
    document.startGroup("PROFESOR", 1);
    document.dato("X_EMPLEADO", QStringLiteral("1002 "));
    document.startGroup("ACTIVIDAD_1");
    document.dato("X_TRAMO", QStringLiteral(" 3"));
    document.startGroup("DENTRO");
    document.dato("X_UNIDAD", QStringLiteral("no cuenta"));
    document.startGroup("MAS_DENTRO");
    document.endGroup();
    document.endGroup();
    document.dato("N_MINSEN", QStringLiteral("\n300\n"));
    document.endGroup();
    document.endGroup();
    document.endGroup();
}

void expectSameDatos(const TimetableDatos &kept, const TimetableDatos &read, const std::string &where)
{
    EXPECT_EQ(kept.datos, read.datos) << where;
    EXPECT_EQ(kept.positions, read.positions) << where;
}

// Everything the check reads of a document, field by field.
void expectSameContent(const TimetableContent &kept, const TimetableContent &read, const std::string &label)
{
    EXPECT_EQ(kept.path, read.path) << label;
    EXPECT_EQ(kept.declaredEncoding.toUpper(), read.declaredEncoding.toUpper()) << label;
    EXPECT_EQ(kept.parseError, read.parseError) << label;
    EXPECT_EQ(kept.hasRoot, read.hasRoot) << label;
    EXPECT_EQ(kept.controlBytes, read.controlBytes) << label;
    EXPECT_EQ(kept.firstControlByteLine, read.firstControlByteLine) << label;
    ASSERT_EQ(kept.sections.size(), read.sections.size()) << label;
    for (size_t i = 0; i < kept.sections.size(); ++i) {
        const std::string where = label + " / section " + std::to_string(i);
        EXPECT_EQ(kept.sections[i].seq, read.sections[i].seq) << where;
        EXPECT_EQ(kept.sections[i].registros, read.sections[i].registros) << where;
        EXPECT_EQ(kept.sections[i].registros.isNull(), read.sections[i].registros.isNull()) << where;
        EXPECT_EQ(kept.sections[i].line, read.sections[i].line) << where;
        EXPECT_EQ(kept.sections[i].teacherCount, read.sections[i].teacherCount) << where;
        expectSameDatos(kept.sections[i].own, read.sections[i].own, where);
    }
    ASSERT_EQ(kept.teachers.size(), read.teachers.size()) << label;
    for (size_t i = 0; i < kept.teachers.size(); ++i) {
        const std::string where = label + " / teacher " + std::to_string(i);
        const TimetableTeacher &a = kept.teachers[i];
        const TimetableTeacher &b = read.teachers[i];
        EXPECT_EQ(std::tie(a.regular, a.seq, a.registros, a.line, a.firstRecord, a.recordCount),
            std::tie(b.regular, b.seq, b.registros, b.line, b.firstRecord, b.recordCount))
            << where;
        expectSameDatos(a, b, where);
    }
    ASSERT_EQ(kept.records.size(), read.records.size()) << label;
    for (size_t i = 0; i < kept.records.size(); ++i) {
        const std::string where = label + " / record " + std::to_string(i);
        const TimetableRecord &a = kept.records[i];
        const TimetableRecord &b = read.records[i];
        EXPECT_EQ(
            std::tie(a.teacher, a.seq, a.line, a.nestedGroups), std::tie(b.teacher, b.seq, b.line, b.nestedGroups))
            << where;
        expectSameDatos(a, b, where);
    }
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

class TimetableStream : public ::testing::Test {
protected:
    QString writeSeneca(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("Exportacion.xml"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    // The same document written both ways; each fill writes the groups and datos.
    template <typename StreamFill, typename TreeFill>
    void expectSameBytes(
        const QString &seneca, const QString &fecha, StreamFill streamFill, TreeFill treeFill, const std::string &label)
    {
        const QString streamed = dir.filePath(QStringLiteral("stream.xml"));
        const QString saved = dir.filePath(QStringLiteral("tree.xml"));
        {
            const SenecaFrame frame = SenecaFrame::read(seneca);
            TimetableDocument document(streamed, frame, fecha);
            streamFill(document);
            document.finish();
        }
        TreeTimetable tree(seneca, fecha);
        treeFill(tree);
        tree.finish(saved);
        const QByteArray expected = fileBytes(saved);
        const QByteArray written = fileBytes(streamed);
        EXPECT_EQ(written, expected) << label << "\nstream: " << written.toStdString()
                                     << "\ntree:   " << expected.toStdString();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(TimetableStream, EqualsTheSavedTreeForEverySenecaFileAndAwkwardValues)
{
    for (const SenecaFile &seneca : senecaFiles()) {
        expectSameBytes(
            writeSeneca(seneca.bytes), QStringLiteral("01/02/2025 10:30:00"),
            [](TimetableDocument &document) { awkwardDocument(document); },
            [](TreeTimetable &document) { awkwardDocument(document); }, seneca.label);
    }
}

// The import checks its document from what the writer kept of it: that must be
// what a reader of the file finds, for every Séneca file and awkward value.
TEST_F(TimetableStream, KeptContentIsWhatTheReaderFindsInTheFile)
{
    for (const SenecaFile &seneca : senecaFiles()) {
        const QString path = dir.filePath(QStringLiteral("kept.xml"));
        TimetableContent kept;
        {
            const SenecaFrame frame = SenecaFrame::read(writeSeneca(seneca.bytes));
            TimetableDocument document(path, frame, QStringLiteral("01/02/2025 10:30:00"));
            document.keepContentIn(kept);
            awkwardDocument(document);
            unusualGroups(document);
            document.finish();
        }
        expectSameContent(kept, TimetableReader::read(path), seneca.label);
    }
}

TEST_F(TimetableStream, FechaIsEscapedAndEncodedAsTheTreeWroteIt)
{
    const std::vector<QString> fechas = {
        QStringLiteral("1 févr. 2025 10:30:00 CET"),
        QStringLiteral("\"€\" & <> \t\n\r 😀 ü"),
        QStringLiteral("10:30") + QChar(0xD800) + QStringLiteral(" sin pareja"),
        QStringLiteral("hasta") + QChar(0) + QStringLiteral("aquí"),
        QString(),
    };
    for (const SenecaFile &seneca : senecaFiles()) {
        for (const QString &fecha : fechas) {
            expectSameBytes(
                writeSeneca(seneca.bytes), fecha, [](TimetableDocument &) {}, [](TreeTimetable &) {},
                std::string(seneca.label) + " / fecha " + fecha.toStdString());
        }
    }
}

TEST_F(TimetableStream, RandomValuesAreWrittenAsTheTreeWroteThem)
{
    const QString alphabet = QStringLiteral("aZ09 &<>\"'\t\n\r;#áÑÿ\u0080\u00A0€Œ中") + QStringLiteral("😀");
    std::mt19937 random(20241210);
    std::vector<QString> values;
    for (int i = 0; i < 300; ++i) {
        QString value;
        const int length = int(random() % 12);
        for (int j = 0; j < length; ++j) {
            const qsizetype at = qsizetype(random() % unsigned(alphabet.size()));
            // Keep the surrogate pair whole.
            if (alphabet.at(at).isLowSurrogate())
                value += alphabet.mid(at - 1, 2);
            else if (alphabet.at(at).isHighSurrogate())
                value += alphabet.mid(at, 2);
            else
                value += alphabet.at(at);
        }
        values.push_back(value);
    }
    for (const SenecaFile &seneca : senecaFiles()) {
        expectSameBytes(
            writeSeneca(seneca.bytes), QStringLiteral("x"),
            [&](TimetableDocument &document) { valuesDocument(document, values); },
            [&](TreeTimetable &document) { valuesDocument(document, values); }, seneca.label);
    }
}

TEST_F(TimetableStream, NothingReachesTheTargetUntilTheDocumentIsFinished)
{
    const QString seneca = writeSeneca(senecaFiles().front().bytes);
    const QString target = dir.filePath(QStringLiteral("salida.xml"));
    {
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("anterior");
    }
    {
        const SenecaFrame frame = SenecaFrame::read(seneca);
        TimetableDocument document(target, frame, QStringLiteral("x"));
        document.startGroup("ANNO_ACADEMICO");
        document.dato("C_ANNO", QStringLiteral("2024"));
        EXPECT_EQ(fileBytes(target), QByteArray("anterior"));
        // A run that stops here leaves the earlier file and no temporary one.
    }
    EXPECT_EQ(fileBytes(target), QByteArray("anterior"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(TimetableStream, AnOutputThatCannotBeWrittenIsNamed)
{
    const SenecaFrame frame = SenecaFrame::read(writeSeneca(senecaFiles().front().bytes));
    const QString target = dir.filePath(QStringLiteral("no/existe/salida.xml"));
    try {
        TimetableDocument document(target, frame, QStringLiteral("x"));
        document.finish();
        ADD_FAILURE() << "no UserError was thrown";
    } catch (const UserError &error) {
        EXPECT_THAT(error.message().toStdString(),
            HasSubstr("No se pudo escribir el archivo " + QDir::toNativeSeparators(target).toStdString()));
    }
}

TEST_F(TimetableStream, AValueWithAControlCharacterIsRefusedNamingItsDato)
{
    const SenecaFrame frame = SenecaFrame::read(writeSeneca(senecaFiles().front().bytes));
    const QString target = dir.filePath(QStringLiteral("salida.xml"));
    TimetableDocument document(target, frame, QStringLiteral("x"));
    for (const QString &value : {QStringLiteral("a\x01z"), QStringLiteral("\x1f"), QString(QChar(0xFFFE)),
             QString(QChar(0xDC00)) + QStringLiteral("z")}) {
        try {
            document.dato("X_TRAMO", value);
            ADD_FAILURE() << "accepted " << value.toStdString();
        } catch (const UserError &error) {
            EXPECT_THAT(error.message().toStdString(), HasSubstr("del dato X_TRAMO"));
        }
    }
    EXPECT_FALSE(QFileInfo::exists(target));
}
