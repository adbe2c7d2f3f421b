#include "common/dbf_table.h"

#include "dbf_test_files.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <optional>

namespace {

using namespace dbf;
using dbftest::readBytes;
using dbftest::userErrorOf;
using dbftest::writeBytes;
using testing::ElementsAre;
using testing::HasSubstr;

const Layout kLayout{charField("NOMBRE", 20), intField("DIA"), doubleField("HORAS"), logicalField("ACTIVO")};

int headerLengthOf(const QByteArray &file)
{
    return static_cast<unsigned char>(file[8]) | (static_cast<unsigned char>(file[9]) << 8);
}

int recordLengthOf(const QByteArray &file)
{
    return static_cast<unsigned char>(file[10]) | (static_cast<unsigned char>(file[11]) << 8);
}

quint32 recordCountOf(const QByteArray &file)
{
    quint32 count = 0;
    for (int i = 3; i >= 0; --i)
        count = (count << 8) | static_cast<unsigned char>(file[4 + i]);
    return count;
}

// Marks a record deleted the way other programs do; the engine itself never deletes.
void markDeleted(const QString &path, int row)
{
    QByteArray bytes = readBytes(path);
    bytes[headerLengthOf(bytes) + row * recordLengthOf(bytes)] = '*';
    writeBytes(path, bytes);
}

// A table with the given names in NOMBRE, each posted; the named rows then marked deleted.
void writeNames(const QString &path, const QStringList &names, const std::vector<int> &deleted = {})
{
    createTable(path, kLayout);
    Table table(path);
    table.open();
    for (int i = 0; i < names.size(); ++i) {
        const int row = table.appendBlank();
        table.setText(row, QStringLiteral("NOMBRE"), names[i]);
        table.setInteger(row, table.fieldIndex(QStringLiteral("DIA")), i + 1);
        table.post(row);
    }
    table.close();
    for (int row : deleted)
        markDeleted(path, row);
}

class DbfTable : public dbftest::ScratchDir { };

TEST_F(DbfTable, EveryTypeReadsBackAsWritten)
{
    struct Row {
        QString nombre;
        std::optional<int> dia;
        std::optional<double> horas;
        std::optional<bool> activo;
    };
    const std::vector<Row> rows = {
        {QStringLiteral("Formación Ñandú"), 0, 0.0, true},
        {QStringLiteral("€‰ŒœŸ‚„"), 1, 1.0, false},
        {QStringLiteral("ŠšŽžƒ†‡"), -1, -2.5, std::nullopt},
        {QString(), std::numeric_limits<int>::min() + 1, 150.48, true},
        {QStringLiteral("  con espacios"), std::numeric_limits<int>::max(), std::nullopt, false},
        {QStringLiteral("nulos"), std::nullopt, -0.001, std::nullopt},
    };
    const QString path = pathOf(QStringLiteral("TIPOS.DBF"));
    createTable(path, kLayout);
    {
        Table table(path);
        table.open();
        for (const Row &r : rows) {
            const int row = table.appendBlank();
            table.setText(row, 0, r.nombre);
            if (r.dia)
                table.setInteger(row, 1, *r.dia);
            if (r.horas)
                table.setDouble(row, 2, *r.horas);
            if (r.activo)
                table.setLogical(row, 3, *r.activo);
            table.post(row);
        }
    }
    EXPECT_TRUE(readBytes(path).contains("Formaci\xF3"
                                         "n \xD1"
                                         "and\xFA"));

    Table table(path);
    table.open(Table::Access::ReadShared);
    ASSERT_EQ(table.size(), int(rows.size()));
    for (int row = 0; row < table.size(); ++row) {
        SCOPED_TRACE(row);
        const Row &r = rows[std::size_t(row)];
        EXPECT_EQ(table.text(row, 0), r.nombre);
        EXPECT_EQ(table.isNull(row, 1), !r.dia);
        EXPECT_EQ(table.text(row, 1), r.dia ? QString::number(*r.dia) : QString());
        EXPECT_EQ(table.integer(row, 1), r.dia.value_or(0));
        EXPECT_EQ(table.isNull(row, 2), !r.horas);
        EXPECT_EQ(table.number(row, 2), r.horas.value_or(0.0));
        EXPECT_EQ(table.isNull(row, 3), !r.activo);
        EXPECT_EQ(table.text(row, 3), r.activo ? QString(QLatin1Char(*r.activo ? 'T' : 'F')) : QString());
    }
    EXPECT_EQ(table.text(1, 2), QStringLiteral("1"));
    EXPECT_EQ(table.text(2, 2), QStringLiteral("-2.5"));
    EXPECT_EQ(table.text(3, 2), QStringLiteral("150.48"));
    EXPECT_EQ(table.text(0, 2), QStringLiteral("0"));
    EXPECT_FALSE(table.isNull(0, 2)); // 0.0 is a value, not null
}

TEST_F(DbfTable, CreatedTableAndRecordHaveTheExactLevel7Bytes)
{
    const QString path = pathOf(QStringLiteral("EXACTA.DBF"));
    const QDate before = QDate::currentDate();
    createTable(path, {charField("NOMBRE", 6), intField("DIA"), doubleField("HORAS"), logicalField("ACTIVO")});
    {
        Table table(path);
        table.open();
        const int row = table.appendBlank();
        table.setText(row, QStringLiteral("NOMBRE"), QStringLiteral("Peña"));
        table.setInteger(row, 1, 2);
        table.setDouble(row, 2, 1.5);
        table.setLogical(row, 3, true);
        table.post(row);
    }
    const QDate after = QDate::currentDate();
    const QByteArray file = readBytes(path);
    ASSERT_GE(file.size(), 4);
    const QDate stamped(1900 + static_cast<unsigned char>(file[1]), file[2], file[3]);
    EXPECT_TRUE(stamped == before || stamped == after);

    const auto z = [](int n) { return QByteArray(n, '\0'); };
    const auto descriptor = [&z](const char *name, char type, char width) {
        QByteArray d(name);
        return d + z(32 - int(d.size())) + type + width + z(14);
    };
    QByteArray expected;
    expected += '\x04' + file.mid(1, 3); // level 7, no memo; last update
    expected += QByteArray::fromHex("01000000"); // one record
    expected += QByteArray::fromHex("0501"); // header: 68 + 4 * 48 + 1 = 261
    expected += QByteArray::fromHex("1400"); // record: 1 + 6 + 4 + 8 + 1 = 20
    expected += z(16) + '\0' + '\0' + z(2); // 12-27 reserved, 28 no MDX, 29 no driver id, 30-31
    expected += QByteArray("DBWINWE0") + z(24) + z(4);
    expected += descriptor("NOMBRE", 'C', 6);
    expected += descriptor("DIA", 'I', 4);
    expected += descriptor("HORAS", 'O', 8);
    expected += descriptor("ACTIVO", 'L', 1);
    expected += '\x0D';
    expected += QByteArray(" Pe\xF1"
                           "a  ");
    expected += QByteArray::fromHex("80000002");
    expected += QByteArray::fromHex("bff8000000000000");
    expected += 'T';
    expected += '\x1A';
    EXPECT_EQ(file.toHex(' ').toStdString(), expected.toHex(' ').toStdString());
}

TEST_F(DbfTable, EmptyCreatedTableIsHeaderAndEndMark)
{
    const QString path = pathOf(QStringLiteral("VACIA.DBF"));
    createTable(path, kLayout);
    const QByteArray file = readBytes(path);
    ASSERT_EQ(file.size(), 68 + 48 * 4 + 1 + 1);
    EXPECT_EQ(recordCountOf(file), 0U);
    EXPECT_EQ(file.at(file.size() - 2), '\x0D');
    EXPECT_EQ(file.back(), '\x1A');
    Table table(path);
    table.open(Table::Access::ReadShared);
    EXPECT_EQ(table.size(), 0);
    EXPECT_EQ(table.fieldCount(), 4);
    EXPECT_EQ(table.field(2).type, FieldType::Double);
    EXPECT_EQ(table.fileName(), QStringLiteral("VACIA.DBF"));
}

TEST_F(DbfTable, TextIsCutToTheWidthInCharacters)
{
    struct Case {
        QString value;
        QString stored;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("Información"), QStringLiteral("Infor"), "Infor"},
        {QStringLiteral("a\U0001F600bcdef"), QStringLiteral("a?bcd"), "a?bcd"},
        {QStringLiteral("中文"), QStringLiteral("??"), "??   "},
        {QStringLiteral("łódź"), QStringLiteral("lódz"), // base letters, as Windows' best fit
            "l\xF3"
            "dz "},
        // DEL and the undefined bytes' characters are never written.
        {QStringLiteral("\u0081\u007F\u009D"), QStringLiteral("???"), "???  "},
        {QStringLiteral("€uro!!"), QStringLiteral("€uro!"), "\x80uro!"},
        {QStringLiteral("ab   "), QStringLiteral("ab"), "ab   "},
    };
    const QString path = pathOf(QStringLiteral("CORTE.DBF"));
    createTable(path, {charField("C", 5)});
    {
        Table table(path);
        table.open();
        for (const Case &c : cases)
            table.setText(table.appendBlank(), 0, c.value);
        table.post(table.size() - 1);
    }
    const QByteArray file = readBytes(path);
    Table table(path);
    table.open(Table::Access::ReadShared);
    for (int row = 0; row < table.size(); ++row) {
        const Case &c = cases[row];
        EXPECT_EQ(table.text(row, 0), c.stored) << row;
        EXPECT_EQ(file.mid(headerLengthOf(file) + row * 6 + 1, 5), c.bytes) << row;
    }
}

TEST_F(DbfTable, WrongValuesAreRefusedNamingRecordAndField)
{
    const QString path = pathOf(QStringLiteral("MAL.DBF"));
    createTable(path, kLayout);
    Table table(path);
    table.open();
    const int row = table.appendBlank();
    struct Case {
        std::function<void()> action;
        const char *message;
    };
    const Case cases[] = {
        {[&] { table.setText(row, 1, QStringLiteral("x")); }, "«x» no es un número entero"},
        {[&] { table.setText(row, 1, QStringLiteral("1.5")); }, "«1.5» no es un número entero"},
        {[&] { table.setInteger(row, 1, std::numeric_limits<int>::min()); }, "-2147483648"},
        {[&] { table.setDouble(row, 1, 2.5); }, "«2.5» no es un número entero"},
        {[&] { table.setText(row, 2, QStringLiteral("uno")); }, "«uno» no es un número"},
        {[&] { table.setDouble(row, 2, std::numeric_limits<double>::quiet_NaN()); }, "HORAS"},
        {[&] { table.setText(row, 3, QStringLiteral("quizá")); }, "«quizá» no es un valor lógico"},
    };
    for (const Case &c : cases) {
        const std::string message = userErrorOf(c.action);
        EXPECT_THAT(message, HasSubstr(c.message));
        EXPECT_THAT(message, HasSubstr("registro 1"));
        EXPECT_THAT(message, HasSubstr(path.toStdString()));
    }
    EXPECT_TRUE(table.isNull(row, 1)); // a refused value leaves the field as it was

    table.setDouble(row, 2, 2.0);
    EXPECT_EQ(table.integer(row, 2), 2);
    table.setDouble(row, 2, 2.5);
    EXPECT_THAT(userErrorOf([&] { table.integer(row, 2); }),
        HasSubstr("«2.5» no es un número entero (tabla " + path.toStdString() + ", registro 1, campo HORAS)"));
    table.setText(row, 1, QStringLiteral(" -7 "));
    EXPECT_EQ(table.integer(row, 1), -7);
    table.setText(row, 1, QString());
    EXPECT_TRUE(table.isNull(row, 1));
    table.setInteger(row, 0, 42);
    EXPECT_EQ(table.text(row, 0), QStringLiteral("42"));
}

TEST_F(DbfTable, MisuseGivesAClearError)
{
    const QString path = pathOf(QStringLiteral("USO.DBF"));
    createTable(path, kLayout);
    Table table(path);
    EXPECT_THAT(userErrorOf([&] { table.text(0, 0); }), HasSubstr("no está abierta"));
    table.open(Table::Access::ReadShared);
    EXPECT_THAT(userErrorOf([&] { table.text(0, 0); }), HasSubstr("registro 1"));
    EXPECT_THAT(userErrorOf([&] { table.fieldIndex(QStringLiteral("NADA")); }), HasSubstr("NADA"));
    EXPECT_THAT(userErrorOf([&] { table.field(9); }), HasSubstr(path.toStdString()));
    const int row = table.appendBlank();
    EXPECT_THAT(userErrorOf([&] { table.post(row); }), HasSubstr("solo para leer"));
    EXPECT_THAT(userErrorOf([&] { Index(table, {0}).first(QStringList{}); }), HasSubstr(path.toStdString()));
    EXPECT_EQ(table.fieldIndex(QStringLiteral("nombre")), 0);
    EXPECT_TRUE(table.hasField(QStringLiteral("Dia")));
    EXPECT_FALSE(table.hasField(QStringLiteral("DIAS")));

    Table missing(pathOf(QStringLiteral("NOESTA.DBF")));
    EXPECT_THAT(userErrorOf([&] { missing.open(); }), HasSubstr("NOESTA.DBF"));
    EXPECT_FALSE(missing.isOpen());
}

TEST_F(DbfTable, MovedTableKeepsWorking)
{
    const QString path = pathOf(QStringLiteral("MOVER.DBF"));
    writeNames(path, {QStringLiteral("a"), QStringLiteral("b")});
    Table first(path);
    first.open();
    first.setFilter(QStringLiteral("NOMBRE= 'b'"));
    EXPECT_THAT(first.filteredRows(), ElementsAre(1));
    Table second = std::move(first);
    EXPECT_TRUE(second.isOpen());
    EXPECT_THAT(second.filteredRows(), ElementsAre(1));
    second.setText(0, 0, QStringLiteral("b"));
    second.post(0);
    EXPECT_THAT(second.filteredRows(), ElementsAre(0, 1));
}

// A level-III table as older programs write it: 32-byte descriptors, numbers as text.
QByteArray levelThreeTable(
    const std::vector<std::pair<QByteArray, QByteArray>> &fields, const QList<QByteArray> &records)
{
    // fields: name, then type, width and decimals as three bytes
    QByteArray descriptors;
    int recordLength = 1;
    for (const auto &[name, shape] : fields) {
        QByteArray d = name + QByteArray(11 - name.size(), '\0');
        d += shape.at(0);
        d += QByteArray(4, '\0');
        d += shape.at(1);
        d += shape.at(2);
        d += QByteArray(14, '\0');
        descriptors += d;
        recordLength += static_cast<unsigned char>(shape.at(1));
    }
    const int headerLength = 32 + int(descriptors.size()) + 1;
    QByteArray header(32, '\0');
    header[0] = '\x03';
    header[1] = char(124);
    header[2] = 1;
    header[3] = 31;
    header[4] = char(records.size());
    header[8] = char(headerLength & 0xFF);
    header[9] = char(headerLength >> 8);
    header[10] = char(recordLength);
    QByteArray file = header + descriptors + '\x0D';
    for (const QByteArray &record : records) {
        EXPECT_EQ(record.size(), recordLength) << record.toStdString();
        file += record;
    }
    return file + '\x1A';
}

QByteArray levelThreeSample()
{
    // flag, DIA N(2), NOMBRE C(10), FECHA D(8), ACTIVO L(1), HORAS N(6,2)
    const auto record = [](const char *flag, const char *dia, const char *nombre, const char *fecha, const char *activo,
                            const char *horas) { return QByteArray(flag) + dia + nombre + fecha + activo + horas; };
    return levelThreeTable({{"DIA", QByteArray("N\x02\x00", 3)}, {"NOMBRE", QByteArray("C\x0A\x00", 3)},
                               {"FECHA", QByteArray("D\x08\x00", 3)}, {"ACTIVO", QByteArray("L\x01\x00", 3)},
                               {"HORAS", QByteArray("N\x06\x02", 3)}},
        {record(" ", " 2", "15        ", "20240131", "T", "  1.50"),
            record(" ", "12", "x         ", "        ", "F", "  3.00"),
            record("*", " 7", "borrado   ", "20240101", "T", "  0.00"),
            record(" ", "  ", "          ", "        ", "?", "      ")});
}

TEST_F(DbfTable, ReadsLevelThreeTables)
{
    const QString path = pathOf(QStringLiteral("NIVEL3.DBF"));
    writeBytes(path, levelThreeSample());
    Table table(path);
    table.open(Table::Access::ReadShared);
    ASSERT_EQ(table.fieldCount(), 5);
    EXPECT_EQ(table.field(0).type, FieldType::Numeric);
    EXPECT_EQ(table.field(4).decimals, 2);
    EXPECT_EQ(table.size(), 4);
    EXPECT_EQ(table.recordCount(), 3);
    EXPECT_THAT(table.liveRows(), ElementsAre(0, 1, 3));

    EXPECT_EQ(table.text(0, QStringLiteral("DIA")), QStringLiteral("2"));
    EXPECT_EQ(table.integer(0, QStringLiteral("DIA")), 2);
    EXPECT_EQ(table.integer(1, QStringLiteral("DIA")), 12);
    EXPECT_EQ(table.integer(3, QStringLiteral("DIA")), 0); // a null number is 0
    EXPECT_EQ(table.integer(0, QStringLiteral("NOMBRE")), 15);
    EXPECT_EQ(table.text(0, QStringLiteral("FECHA")), QStringLiteral("20240131"));
    EXPECT_EQ(table.text(3, QStringLiteral("FECHA")), QString());
    EXPECT_EQ(table.text(0, QStringLiteral("ACTIVO")), QStringLiteral("T"));
    EXPECT_EQ(table.text(1, QStringLiteral("ACTIVO")), QStringLiteral("F"));
    EXPECT_TRUE(table.isNull(3, 3));
    EXPECT_EQ(table.text(0, QStringLiteral("HORAS")), QStringLiteral("1.50"));
    EXPECT_EQ(table.number(0, table.fieldIndex(QStringLiteral("HORAS"))), 1.5);
    EXPECT_EQ(table.integer(1, QStringLiteral("HORAS")), 3);

    struct Case {
        int row;
        const char *field;
        std::string message;
    };
    const Case cases[] = {
        {1, "NOMBRE", "«x» no es un número entero (tabla " + path.toStdString() + ", registro 2, campo NOMBRE)"},
        {3, "NOMBRE", "«» no es un número entero (tabla " + path.toStdString() + ", registro 4, campo NOMBRE)"},
        {0, "HORAS", "«1.50» no es un número entero"},
        {0, "ACTIVO", "«T» no es un número entero"},
    };
    for (const Case &c : cases)
        EXPECT_THAT(userErrorOf([&] { table.integer(c.row, QString::fromLatin1(c.field)); }), HasSubstr(c.message));
}

TEST_F(DbfTable, PostsToLevelThreeTablesKeepTheirLayout)
{
    const QString path = pathOf(QStringLiteral("NIVEL3.DBF"));
    const QByteArray original = levelThreeSample();
    writeBytes(path, original);
    {
        Table table(path);
        table.open();
        table.setText(1, QStringLiteral("NOMBRE"), QStringLiteral("Ana"));
        table.setInteger(1, table.fieldIndex(QStringLiteral("DIA")), 5);
        table.setText(1, QStringLiteral("HORAS"), QStringLiteral("2.5"));
        table.post(1);
    }
    QByteArray expected = original;
    const QByteArray changed = QByteArray(" ") + " 5" + "Ana       " + "        " + "F" + "  2.50";
    expected.replace(headerLengthOf(original) + 28, 28, changed);
    const QByteArray file = readBytes(path);
    EXPECT_EQ(file.left(1), expected.left(1));
    EXPECT_EQ(file.mid(4).toHex(' ').toStdString(), expected.mid(4).toHex(' ').toStdString()); // but the date
}

TEST_F(DbfTable, DeletedRecordsAreSkipped)
{
    const QString path = pathOf(QStringLiteral("BORRADOS.DBF"));
    writeNames(
        path, {QStringLiteral("Ana"), QStringLiteral("Luis"), QStringLiteral("Ana"), QStringLiteral("Eva")}, {0, 3});
    Table table(path);
    table.open(Table::Access::ReadShared);
    EXPECT_EQ(table.size(), 4);
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_TRUE(table.isDeleted(0));
    EXPECT_FALSE(table.isDeleted(1));
    EXPECT_THAT(table.liveRows(), ElementsAre(1, 2));
    EXPECT_EQ(table.text(3, 0), QStringLiteral("Eva")); // still readable by row
    table.setFilter(QStringLiteral("NOMBRE= 'Ana'"));
    EXPECT_THAT(table.filteredRows(), ElementsAre(2));
    table.setFilter(QString());
    EXPECT_THAT(table.filteredRows(), ElementsAre(1, 2));
    Index index(table, {0});
    EXPECT_THAT(index.rows({QStringLiteral("Ana")}), ElementsAre(2));
    EXPECT_EQ(index.first({QStringLiteral("Eva")}), -1);
}

class DbfSearch : public dbftest::ScratchDir {
protected:
    void SetUp() override
    {
        ScratchDir::SetUp();
        const QString path = pathOf(QStringLiteral("BUSCAR.DBF"));
        createTable(path, kLayout);
        m_table = Table(path);
        m_table.open();
        const QStringList names{QStringLiteral("Formación"), QStringLiteral("formación"), QStringLiteral(" Formación"),
            QStringLiteral("Formacion"), QStringLiteral("O'Brien"), QStringLiteral("Nulo")};
        for (int i = 0; i < names.size(); ++i) {
            const int row = m_table.appendBlank();
            m_table.setText(row, 0, names[i]);
            if (names[i] != QStringLiteral("Nulo")) {
                m_table.setInteger(row, 1, i + 1);
                m_table.setDouble(row, 2, 1.5 * i);
                m_table.setLogical(row, 3, i % 2 == 0);
            }
        }
    }
    Table m_table;
};

TEST_F(DbfSearch, IndexComparesAsStoredText)
{
    struct Case {
        QStringList fields;
        QStringList values;
        int row;
    };
    const QString formacion = QStringLiteral("Formación");
    const Case cases[] = {
        {{"NOMBRE"}, {formacion}, 0},
        {{"NOMBRE"}, {QStringLiteral("Formación ")}, 0}, // trailing spaces never count
        {{"NOMBRE"}, {QStringLiteral("formación")}, 1}, // case counts
        {{"NOMBRE"}, {QStringLiteral(" Formación")}, 2}, // leading spaces count
        {{"NOMBRE"}, {QStringLiteral("Formacion")}, 3}, // accents count
        {{"NOMBRE"}, {QStringLiteral("Formació")}, -1},
        {{"NOMBRE"}, {QStringLiteral("Formación x")}, -1},
        {{"NOMBRE"}, {QStringLiteral("Łódź")}, -1},
        {{"NOMBRE"}, {QStringLiteral("Un nombre más largo que el campo")}, -1},
        {{"DIA"}, {QStringLiteral("2")}, 1},
        {{"DIA"}, {QStringLiteral(" 2 ")}, 1},
        {{"DIA"}, {QStringLiteral("02")}, 1},
        {{"DIA"}, {QStringLiteral("+3")}, 2},
        {{"DIA"}, {QString()}, 5}, // null
        {{"DIA"}, {QStringLiteral("2.0")}, -1},
        {{"DIA"}, {QStringLiteral("0")}, -1},
        {{"HORAS"}, {QStringLiteral("1.5")}, 1},
        {{"HORAS"}, {QStringLiteral("1.50")}, 1},
        {{"HORAS"}, {QStringLiteral("0")}, 0},
        {{"ACTIVO"}, {QStringLiteral("F")}, 1},
        {{"ACTIVO"}, {QString()}, 5},
        {{"NOMBRE", "DIA"}, {formacion, QStringLiteral("1")}, 0},
        {{"NOMBRE", "DIA"}, {formacion, QStringLiteral("2")}, -1},
        {{"DIA", "NOMBRE"}, {QStringLiteral("5"), QStringLiteral("O'Brien  ")}, 4},
    };
    for (const Case &c : cases) {
        std::vector<int> fields;
        for (const QString &name : c.fields)
            fields.push_back(m_table.fieldIndex(name));
        EXPECT_EQ(Index(m_table, fields).first(c.values), c.row)
            << c.fields.join(',').toStdString() << " = " << c.values.join(',').toStdString();
    }
}

TEST_F(DbfSearch, KeyIsTheComparableText)
{
    EXPECT_EQ(m_table.key(2, 0), QStringLiteral(" Formación"));
    EXPECT_EQ(m_table.key(1, 1), QStringLiteral("2"));
    EXPECT_EQ(m_table.key(5, 1), QString());
}

TEST_F(DbfSearch, FilterAcceptsOnlyFieldEqualsQuotedValue)
{
    struct Case {
        QString expression;
        std::vector<int> rows;
    };
    const Case accepted[] = {
        {QStringLiteral("NOMBRE= 'Formación'"), {0}},
        {QStringLiteral("NOMBRE='Formación   '"), {0}},
        {QStringLiteral("  NOMBRE  =  'formación'  "), {1}},
        {QStringLiteral("nombre= 'O''Brien'"), {4}},
        {QStringLiteral("NOMBRE= ''"), {}},
        {QStringLiteral("NOMBRE= 'Nadie'"), {}},
        {QStringLiteral("DIA= '3'"), {2}},
        {QStringLiteral("DIA= ''"), {5}},
        {QStringLiteral("ACTIVO= 'T'"), {0, 2, 4}},
        {QString(), {0, 1, 2, 3, 4, 5}},
        {QStringLiteral("   "), {0, 1, 2, 3, 4, 5}},
    };
    for (const Case &c : accepted) {
        m_table.setFilter(c.expression);
        EXPECT_EQ(m_table.filteredRows(), c.rows) << c.expression.toStdString();
    }

    const QString refused[] = {
        QStringLiteral("NOMBRE = Formación"),
        QStringLiteral("NOMBRE == 'Formación'"),
        QStringLiteral("NOMBRE= 'a' AND DIA= '1'"),
        QStringLiteral("NOMBRE= 'O'Brien'"),
        QStringLiteral("NOMBRE= 'Formación"),
        QStringLiteral("= 'Formación'"),
        QStringLiteral("NOMBRE= \"Formación\""),
        QStringLiteral("NOMBRE<> 'Formación'"),
        QStringLiteral("NOMBRE"),
    };
    for (const QString &expression : refused) {
        const std::string message = userErrorOf([&] { m_table.setFilter(expression); });
        EXPECT_THAT(message, HasSubstr(expression.toStdString()));
        EXPECT_THAT(message, HasSubstr("BUSCAR.DBF"));
    }
    EXPECT_THAT(userErrorOf([&] { m_table.setFilter(QStringLiteral("PROFESOR= 'X'")); }), HasSubstr("PROFESOR"));
}

TEST_F(DbfSearch, FilterFollowsChangesToTheTable)
{
    m_table.setFilter(QStringLiteral("NOMBRE= 'Nuevo'"));
    EXPECT_TRUE(m_table.filteredRows().empty());
    const int row = m_table.appendBlank();
    m_table.setText(row, 0, QStringLiteral("Nuevo"));
    EXPECT_THAT(m_table.filteredRows(), ElementsAre(row));
    m_table.setText(0, 0, QStringLiteral("Nuevo"));
    EXPECT_THAT(m_table.filteredRows(), ElementsAre(0, row));
    // Many values on one field, as an import walks teacher by teacher.
    for (int i = 0; i < 4; ++i) {
        m_table.setFilter(QStringLiteral("DIA= '%1'").arg(i + 2));
        EXPECT_THAT(m_table.filteredRows(), ElementsAre(i + 1));
    }
}

TEST_F(DbfSearch, IndexFindsRowsInStoredOrder)
{
    const int again = m_table.appendBlank();
    m_table.setText(again, 0, QStringLiteral("Formación   "));
    Index byName(m_table, {0});
    EXPECT_THAT(byName.rows({QStringLiteral("Formación ")}), ElementsAre(0, again));
    EXPECT_EQ(byName.first({QStringLiteral("Formación")}), 0);
    EXPECT_EQ(byName.first({QStringLiteral(" Formación")}), 2);
    EXPECT_EQ(byName.first({QStringLiteral("Nadie")}), -1);
    EXPECT_TRUE(byName.rows({QStringLiteral("Nadie")}).empty());

    // A changed row moves to its new key, in stored order.
    const QStringList old{m_table.text(3, 0)};
    m_table.setText(3, 0, QStringLiteral("Formación"));
    byName.remove(3, old);
    byName.add(3);
    byName.add(3);
    EXPECT_THAT(byName.rows({QStringLiteral("Formación")}), ElementsAre(0, 3, again));
    EXPECT_EQ(byName.first({QStringLiteral("Formacion")}), -1);
    const int appended = m_table.appendBlank();
    m_table.setText(appended, 0, QStringLiteral("Formación"));
    byName.add(appended);
    EXPECT_THAT(byName.rows({QStringLiteral("Formación")}), ElementsAre(0, 3, again, appended));

    Index byDay(m_table, {1});
    EXPECT_EQ(byDay.first({QStringLiteral(" 4")}), 3);
    EXPECT_THAT(byDay.rows({QString()}), ElementsAre(5, again, appended));
    EXPECT_THAT(userErrorOf([&] { byDay.first({QStringLiteral("1"), QStringLiteral("2")}); }), HasSubstr("BUSCAR.DBF"));
}

TEST_F(DbfSearch, IndexKeysOfSeveralFieldsNeverRunTogether)
{
    const QString path = pathOf(QStringLiteral("DOS.DBF"));
    createTable(path, {charField("A", 10), charField("B", 10)});
    Table table(path);
    table.open();
    const std::vector<std::pair<const char *, const char *>> rows{{"a|b", "c"}, {"a", "b|c"}, {"a:1", ""}, {"a", "1:"}};
    for (const auto &[a, b] : rows) {
        const int row = table.appendBlank();
        table.setText(row, 0, QString::fromLatin1(a));
        table.setText(row, 1, QString::fromLatin1(b));
    }
    Index index(table, {0, 1});
    for (int row = 0; row < int(rows.size()); ++row) {
        const QStringList values{
            QString::fromLatin1(rows[std::size_t(row)].first), QString::fromLatin1(rows[std::size_t(row)].second)};
        EXPECT_THAT(index.rows(values), ElementsAre(row)) << row;
    }
}

TEST_F(DbfTable, PostWritesThroughToDisk)
{
    const QString path = pathOf(QStringLiteral("POST.DBF"));
    const QString copy = pathOf(QStringLiteral("COPIA.DBF"));
    createTable(path, kLayout);
    const int headerLength = 68 + 48 * 4 + 1;
    const int recordLength = 1 + 20 + 4 + 8 + 1;
    // What another program finds on disk while this one keeps the table open.
    const auto onDisk = [&] {
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(path, copy));
        auto table = std::make_unique<Table>(copy);
        table->open(Table::Access::ReadShared);
        return table;
    };

    Table table(path);
    table.open();
    const int first = table.appendBlank();
    table.setText(first, 0, QStringLiteral("Primero"));
    EXPECT_EQ(onDisk()->size(), 0); // appended rows reach the disk with post()
    table.post(first);
    QByteArray file = readBytes(path);
    EXPECT_EQ(recordCountOf(file), 1U);
    EXPECT_EQ(file.size(), headerLength + recordLength + 1);
    EXPECT_EQ(file.back(), '\x1A');
    EXPECT_EQ(onDisk()->text(0, 0), QStringLiteral("Primero"));

    // Posting the later of two appended rows writes both, leaving no gap.
    const int blank = table.appendBlank();
    const int third = table.appendBlank();
    table.setInteger(third, 1, 3);
    table.post(third);
    file = readBytes(path);
    EXPECT_EQ(recordCountOf(file), 3U);
    EXPECT_EQ(file.size(), headerLength + 3 * recordLength + 1);
    EXPECT_EQ(file.mid(headerLength).count('\x1A'), 1);
    {
        const auto seen = onDisk();
        ASSERT_EQ(seen->size(), 3);
        EXPECT_TRUE(seen->isNull(blank, 1));
        EXPECT_EQ(seen->integer(third, 1), 3);
    }

    // Changing a stored row rewrites it in place.
    table.setText(first, 0, QStringLiteral("Cambiado"));
    table.post(first);
    EXPECT_EQ(readBytes(path).size(), file.size());
    EXPECT_EQ(onDisk()->text(first, 0), QStringLiteral("Cambiado"));

    // What was posted stays when the run fails later.
    const int fourth = table.appendBlank();
    table.setText(fourth, 0, QStringLiteral("Cuarto"));
    table.post(fourth);
    EXPECT_THROW(table.setText(fourth, 1, QStringLiteral("no")), UserError);
    table.close();
    Table reopened(path);
    reopened.open(Table::Access::ReadShared);
    EXPECT_EQ(reopened.size(), 4);
    EXPECT_EQ(reopened.text(fourth, 0), QStringLiteral("Cuarto"));
}

TEST_F(DbfTable, AppendingToleratesAMissingEndMarkOrExtraBytes)
{
    const QString path = pathOf(QStringLiteral("COLA.DBF"));
    for (const QByteArray &tail : {QByteArray(), QByteArray("\x1A\x1A basura al final", 18)}) {
        writeNames(path, {QStringLiteral("uno"), QStringLiteral("dos")});
        QByteArray bytes = readBytes(path);
        bytes.chop(1);
        writeBytes(path, bytes + tail);
        Table table(path);
        table.open();
        ASSERT_EQ(table.size(), 2);
        EXPECT_EQ(table.text(1, 0), QStringLiteral("dos"));
        const int row = table.appendBlank();
        table.setText(row, 0, QStringLiteral("tres"));
        table.post(row);
        table.close();
        table.open(Table::Access::ReadShared);
        EXPECT_EQ(table.size(), 3);
        EXPECT_EQ(table.text(2, 0), QStringLiteral("tres"));
    }
}

TEST_F(DbfTable, ToleratesPropertiesBlockMdxFlagAndOtherDrivers)
{
    const QString path = pathOf(QStringLiteral("OTRO.DBF"));
    writeNames(path, {QStringLiteral("uno")});
    QByteArray bytes = readBytes(path);
    const int headerLength = headerLengthOf(bytes);
    bytes[28] = '\x01';
    bytes.replace(32, 8, "DB437US0");
    bytes.insert(headerLength, QByteArray(40, '\x07')); // a properties block after the terminator
    bytes[8] = char((headerLength + 40) & 0xFF);
    bytes[9] = char((headerLength + 40) >> 8);
    writeBytes(path, bytes);
    Table table(path);
    table.open(Table::Access::ReadShared);
    ASSERT_EQ(table.size(), 1);
    EXPECT_EQ(table.text(0, 0), QStringLiteral("uno"));
    EXPECT_EQ(table.integer(0, 1), 1);
}

TEST_F(DbfTable, DamagedFilesAreRefusedNamingTheFile)
{
    const QString validPath = pathOf(QStringLiteral("BUENA.DBF"));
    writeNames(validPath, {QStringLiteral("uno"), QStringLiteral("dos"), QStringLiteral("tres")});
    const QByteArray valid = readBytes(validPath);
    const int headerLength = headerLengthOf(valid);
    const auto with = [&valid](int offset, QByteArray bytes) {
        QByteArray changed = valid;
        changed.replace(offset, bytes.size(), bytes);
        return changed;
    };
    QByteArray garbage(700, '\0');
    quint32 seed = 12345;
    for (char &c : garbage) {
        seed = seed * 1103515245U + 12345U;
        c = char(seed >> 24);
    }
    garbage[0] = '\x04'; // past the version check, into the rest of the header

    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"VACIA", QByteArray()},
        {"CORTA", valid.left(20)},
        {"CABECERA_TRUNCADA", valid.left(100)},
        {"SIN_TERMINADOR", with(headerLength - 1, " ")},
        {"REGISTROS_TRUNCADOS", valid.left(valid.size() - 20)},
        {"TEXTO", QByteArray("Esto no es una tabla, es un texto cualquiera.\n").repeated(10)},
        {"BASURA", garbage},
        {"BASURA_CORTA", garbage.left(40)},
        {"VERSION", with(0, "\x30")},
        {"ANCHO_CERO", with(68 + 33, QByteArray(1, '\0'))},
        {"ANCHO_ENTERO", with(68 + 48 + 33, "\x02")},
        {"LONGITUD_REGISTRO", with(10, "\x20\x00")},
        {"CABECERA_CORTA", with(8, "\x70\x00")},
        {"CABECERA_LARGA", with(8, "\xFF\x7F")},
        {"SIN_NOMBRE", with(68, QByteArray(1, '\0'))},
        {"SIN_CAMPOS", with(68, "\x0D")},
        {"CUENTA_ENORME", with(4, "\xFF\xFF\xFF\xFF")},
        {"TIPO_RARO", with(68 + 32, QByteArray(1, '\x01'))},
    };
    for (const Case &c : cases) {
        const QString path = pathOf(QString::fromLatin1(c.name) + QStringLiteral(".DBF"));
        writeBytes(path, c.bytes);
        Table table(path);
        EXPECT_THAT(userErrorOf([&] { table.open(Table::Access::ReadShared); }), HasSubstr(path.toStdString()))
            << c.name;
        EXPECT_FALSE(table.isOpen()) << c.name;
    }
}

TEST_F(DbfTable, ExclusiveLockKeepsOthersOut)
{
    using Access = Table::Access;
    struct Case {
        Access holder;
        Access other;
        bool allowed;
    };
    const Case cases[] = {
        {Access::Exclusive, Access::Exclusive, false},
        {Access::Exclusive, Access::ReadShared, false},
        {Access::Exclusive, Access::ReadExclusive, false},
        {Access::ReadExclusive, Access::ReadShared, false},
        {Access::ReadShared, Access::Exclusive, false},
        {Access::ReadShared, Access::ReadExclusive, false},
        {Access::ReadShared, Access::ReadShared, true},
    };
    const QString path = pathOf(QStringLiteral("ASIGT.DBF"));
    createTable(path, kLayout);
    for (const Case &c : cases) {
        Table holder(path);
        holder.open(c.holder);
        Table other(path);
        if (c.allowed) {
            EXPECT_NO_THROW(other.open(c.other));
            continue;
        }
        const std::string message = userErrorOf([&] { other.open(c.other); });
        EXPECT_EQ(message,
            "La tabla " + path.toStdString()
                + " está abierta en otro programa (por ejemplo Horavent). Ciérrela y vuelva a intentarlo.");
        EXPECT_FALSE(other.isOpen());
        holder.close();
        EXPECT_NO_THROW(other.open(c.other));
    }

    Table holder(path);
    holder.open();
    EXPECT_THAT(userErrorOf([&] { createTable(path, kLayout); }), HasSubstr("abierta en otro programa"));
    EXPECT_THAT(userErrorOf([&] { removeTableFiles(path); }), HasSubstr("abierta en otro programa"));
    EXPECT_TRUE(tableExists(path));
}

TEST_F(DbfTable, RemoveTableFilesDeletesTableAndMdx)
{
    const QStringList names{QStringLiteral("HOR.DBF"), QStringLiteral("HOR.MDX"), QStringLiteral("HOR.mdx"),
        QStringLiteral("HOR.dbf"), QStringLiteral("HORARIO.DBF")};
    for (const QString &name : names)
        writeBytes(pathOf(name), "x");
    removeTableFiles(pathOf(QStringLiteral("HOR.DBF")));
    for (const QString &name : names)
        EXPECT_EQ(QFile::exists(pathOf(name)), name == QStringLiteral("HORARIO.DBF")) << name.toStdString();
    EXPECT_NO_THROW(removeTableFiles(pathOf(QStringLiteral("HOR.DBF"))));
    EXPECT_FALSE(tableExists(pathOf(QStringLiteral("HOR.DBF"))));
}

TEST_F(DbfTable, CreateRefusesLayoutsItCannotWrite)
{
    const QString path = pathOf(QStringLiteral("NUEVA.DBF"));
    const Layout cases[] = {
        {},
        {charField("ESTE_NOMBRE_TIENE_TREINTA_Y_DOS_", 5)},
        {charField("A", 5), intField("a")},
        {charField("A", 0)},
        {charField("A", 255)},
        {FieldDef{QStringLiteral("N"), FieldType::Numeric, 5, 0}},
        {FieldDef{QStringLiteral("I"), FieldType::Integer, 8, 0}},
        {FieldDef{QString(), FieldType::Character, 5, 0}},
    };
    for (const Layout &layout : cases) {
        EXPECT_THAT(userErrorOf([&] { createTable(path, layout); }), HasSubstr(path.toStdString()));
        EXPECT_FALSE(tableExists(path));
    }
    const QString nowhere = pathOf(QStringLiteral("NO/EXISTE/T.DBF"));
    EXPECT_THAT(userErrorOf([&] { createTable(nowhere, kLayout); }),
        HasSubstr(QDir::toNativeSeparators(nowhere).toStdString()));

    // Longest names and zero widths for fixed-width types are fine.
    createTable(path,
        {charField("X_NIVCONPAGLEG_TREINTA_Y_UNO_31", 254), FieldDef{QStringLiteral("N"), FieldType::Integer, 0, 0}});
    Table table(path);
    table.open(Table::Access::ReadShared);
    EXPECT_EQ(table.field(0).name, QStringLiteral("X_NIVCONPAGLEG_TREINTA_Y_UNO_31"));
    EXPECT_EQ(table.field(1).width, 4);
}

} // namespace
