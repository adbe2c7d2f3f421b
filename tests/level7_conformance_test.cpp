// The timetabler reads the export's tables with its own dBase engine. This test
// reads them byte by byte, without our engine, as a level-7 reader would.
#include "round_trip_support.h"

#include <QtEndian>

namespace {

struct RawField {
    QString name;
    char type = 0;
    int width = 0;
};

struct RawTable {
    QString error; // empty when the file is a well-formed level-7 table
    std::vector<RawField> fields;
    std::vector<QByteArray> records; // without the flag byte
};

quint16 le16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 le32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

RawTable readLevel7(const QString &path)
{
    RawTable t;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot open"), {}, {}};
    const QByteArray b = file.readAll();
    if (b.size() < 69)
        return {QStringLiteral("too short"), {}, {}};
    if (quint8(b[0]) != 0x04)
        return {QStringLiteral("version byte %1").arg(quint8(b[0])), {}, {}};
    if (quint8(b[28]) != 0 || quint8(b[29]) != 0)
        return {QStringLiteral("index flag or language byte set"), {}, {}};
    if (b.mid(32, 32) != QByteArray("DBWINWE0").leftJustified(32, '\0'))
        return {QStringLiteral("language driver %1").arg(QString::fromLatin1(b.mid(32, 8))), {}, {}};
    const quint32 count = le32(b, 4);
    const int headerLength = le16(b, 8);
    const int recordLength = le16(b, 10);
    const int fieldCount = (headerLength - 68 - 1) / 48;
    if (68 + 48 * fieldCount + 1 != headerLength || quint8(b[headerLength - 1]) != 0x0D)
        return {QStringLiteral("header length %1").arg(headerLength), {}, {}};
    int sum = 1;
    for (int i = 0; i < fieldCount; ++i) {
        const QByteArray d = b.mid(68 + 48 * i, 48);
        RawField f{QString::fromLatin1(d.left(32).constData()), d[32], quint8(d[33])};
        if (d.mid(35) != QByteArray(13, '\0'))
            return {QStringLiteral("descriptor %1 has reserved bytes set").arg(f.name), {}, {}};
        sum += f.width;
        t.fields.push_back(f);
    }
    if (sum != recordLength)
        return {QStringLiteral("record length %1, fields add up to %2").arg(recordLength).arg(sum), {}, {}};
    if (b.size() != qsizetype(headerLength + qsizetype(count) * recordLength + 1) || b.back() != 0x1A)
        return {QStringLiteral("size %1 does not match %2 records").arg(b.size()).arg(count), {}, {}};
    for (quint32 r = 0; r < count; ++r) {
        const QByteArray record = b.mid(headerLength + qsizetype(r) * recordLength, recordLength);
        if (record[0] != ' ')
            return {QStringLiteral("record %1 flag").arg(r + 1), {}, {}};
        t.records.push_back(record.mid(1));
    }
    return t;
}

} // namespace

TEST(LevelSevenTables, EveryExportedTableIsAWellFormedLevelSevenFile)
{
    QTemporaryDir dir;
    const round_trip::School school = round_trip::exampleSchool(dir.path());
    const QString ktemp = dir.filePath(QStringLiteral("KTEMP"));
    const round_trip::ToolRun run = round_trip::exportSchool(school, ktemp);
    ASSERT_EQ(run.status, 0) << run.describe().toStdString();

    const QStringList tables = QDir(ktemp).entryList({QStringLiteral("*.DBF")}, QDir::Files);
    EXPECT_EQ(tables.size(), 14) << tables.join(QLatin1Char(' ')).toStdString();
    for (const QString &name : tables) {
        const RawTable table = readLevel7(QDir(ktemp).filePath(name));
        EXPECT_TRUE(table.error.isEmpty()) << name.toStdString() << ": " << table.error.toStdString();
    }

    const RawTable periods = readLevel7(QDir(ktemp).filePath(QStringLiteral("PERIODOS.DBF")));
    ASSERT_EQ(periods.fields.size(), 3u);
    const std::vector<std::tuple<QString, char, int>> expectedFields = {{QStringLiteral("CURSOANNO"), 'C', 4},
        {QStringLiteral("F_INICIO"), 'C', 10}, {QStringLiteral("F_FIN"), 'C', 10}};
    for (size_t i = 0; i < expectedFields.size(); ++i) {
        EXPECT_EQ(periods.fields[i].name, std::get<0>(expectedFields[i]));
        EXPECT_EQ(periods.fields[i].type, std::get<1>(expectedFields[i]));
        EXPECT_EQ(periods.fields[i].width, std::get<2>(expectedFields[i]));
    }
    ASSERT_EQ(periods.records.size(), 1u);
    EXPECT_EQ(periods.records[0], QByteArray("202515/09/202522/06/2026"));
}
