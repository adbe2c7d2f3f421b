// Step 9: the teaching periods of the one or two chosen time frames in DIASHORAST.DBF.
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/days_hours_table.h"
#include "export/export_run.h"
#include "export/frame_dialog.h"
#include "export/time_frames.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"
#include "support/table_rows.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kFrames = QStringLiteral("JORNADAS_ESCOLARES");
const QString kSlots = QStringLiteral("TRAMOS_HORARIOS");

ExchangeBuilder &frame(ExchangeBuilder &builder, const QString &code)
{
    return builder.record(
        {code, QStringLiteral("Marco ") + code, QStringLiteral("01/09/2024"), QStringLiteral("30/06/2025")});
}

ExchangeBuilder &slot(ExchangeBuilder &builder, const QString &code, const QString &label, const QString &start,
    const QString &end, const QString &frameCode)
{
    return builder.record({code, label, start, end, frameCode});
}

// One row of DIASHORAST.DBF in field order; TEXTODIA is always blank.
QStringList period(const QString &diho, const QString &cod, const QString &day, const QString &hora,
    const QString &label, const QString &from, const QString &to, const QString &minutes, const QString &marco,
    const QString &marcoXml)
{
    return {diho, cod, day, QString(), hora, label, from, to, minutes, marco, marcoXml};
}

class DaysHoursStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.workDir = dir.path();
        session.programDir = dir.path();
    }

    // Runs the step; a document with two or more frames is also written to a file,
    // which the dialog reads again.
    TableRows run(const ExchangeBuilder &seneca)
    {
        session.filenameXML = seneca.writeTo(dir.path(), QStringLiteral("seneca.xml"), "UTF-8");
        ExportRun run(session, ui);
        run.setDocuments(seneca.document(), ExchangeBuilder().document());
        run.buildDaysHoursTable();
        EXPECT_EQ(run.tablesWritten, QStringList{days_hours_table::fileName()});
        skippedNotes = run.skippedRecords.notes();
        return readTableRows(tablePath());
    }
    QStringList skippedNotes; // of the last run

    // The dialog answers by selecting the frames at these list positions.
    void chooseFrames(std::vector<int> positions)
    {
        ui.frameDialog = [positions](FrameDialog &dialog) {
            for (int position : positions)
                dialog.setSelected(position, true);
            dialog.close();
        };
    }

    QString tablePath() const { return session.workPath(days_hours_table::fileName()); }

    static TableRows day(const TableRows &rows, const QString &number)
    {
        TableRows out;
        for (const QStringList &row : rows) {
            if (row.at(2) == number)
                out.push_back(row);
        }
        return out;
    }

    // DIHO, HORA, MARCO and MARCOXML of each row.
    static TableRows numbering(const TableRows &rows)
    {
        TableRows out;
        for (const QStringList &row : rows)
            out.push_back({row.at(0), row.at(4), row.at(9), row.at(10)});
        return out;
    }

    QTemporaryDir dir;
    Session session;
    ScriptedInterface ui;
};

} // namespace

TEST_F(DaysHoursStep, OneFrameWritesItsSlotsForEveryDayWithoutADialog)
{
    ExchangeBuilder seneca;
    frame(seneca.group(kFrames), QStringLiteral("M1"));
    slot(seneca.group(kSlots), QStringLiteral("T1"), QStringLiteral("1ª"), QStringLiteral("480"), QStringLiteral("540"),
        QStringLiteral("M1"));
    slot(seneca, QStringLiteral("TX"), QStringLiteral("otro"), QStringLiteral("600"), QStringLiteral("660"),
        QStringLiteral("T9"));
    slot(seneca, QStringLiteral("T2"), QStringLiteral("2ª"), QStringLiteral("545"), QStringLiteral("600"),
        QStringLiteral("M1"));

    TableRows expected;
    for (int d = 1; d <= 7; ++d) {
        const QString day = QString::number(d);
        expected.push_back(period(day + QLatin1Char('1'), QStringLiteral("T1"), day, QStringLiteral("1"),
            QStringLiteral("1ª"), QStringLiteral("08:00"), QStringLiteral("09:00"), QStringLiteral("60"),
            QStringLiteral("0"), QStringLiteral("M1")));
        expected.push_back(period(day + QLatin1Char('2'), QStringLiteral("T2"), day, QStringLiteral("2"),
            QStringLiteral("2ª"), QStringLiteral("09:05"), QStringLiteral("10:00"), QStringLiteral("55"),
            QStringLiteral("0"), QStringLiteral("M1")));
    }
    EXPECT_EQ(run(seneca), expected);
    EXPECT_EQ(tableFieldNames(tablePath()),
        (QStringList{QStringLiteral("DIHO"), QStringLiteral("CODDIHO"), QStringLiteral("DIA"),
            QStringLiteral("TEXTODIA"), QStringLiteral("HORA"), QStringLiteral("TEXTOHOR"), QStringLiteral("HORADESDE"),
            QStringLiteral("HORAHASTA"), QStringLiteral("MINUTOS"), QStringLiteral("MARCO"),
            QStringLiteral("MARCOXML")}));
    EXPECT_EQ(ui.frameDialogsShown, 0);
    EXPECT_FALSE(session.result);
}

TEST_F(DaysHoursStep, FramesAreNumberedByTheStartOfTheirFirstPeriodAndATieGoesToTheFirstListed)
{
    struct Case {
        const char *firstStart;
        const char *secondStart;
        const char *firstMarco;
        const char *secondMarco;
    };
    for (const Case &c : {Case{"900", "480", "1", "0"}, Case{"480", "900", "0", "1"}, Case{"480", "480", "0", "1"}}) {
        SCOPED_TRACE(std::string(c.firstStart) + " vs " + c.secondStart);
        ExchangeBuilder seneca;
        frame(seneca.group(kFrames), QStringLiteral("TARDE"));
        frame(seneca, QStringLiteral("MANANA"));
        slot(seneca.group(kSlots), QStringLiteral("A"), QStringLiteral("a"), QLatin1String(c.secondStart),
            QStringLiteral("1000"), QStringLiteral("MANANA"));
        slot(seneca, QStringLiteral("B"), QStringLiteral("b"), QLatin1String(c.firstStart), QStringLiteral("1000"),
            QStringLiteral("TARDE"));
        chooseFrames({0, 1});
        EXPECT_EQ(numbering(day(run(seneca), QStringLiteral("1"))),
            (TableRows{
                {QStringLiteral("11"), QStringLiteral("1"), QLatin1String(c.secondMarco), QStringLiteral("MANANA")},
                {QStringLiteral("11"), QStringLiteral("1"), QLatin1String(c.firstMarco), QStringLiteral("TARDE")}}));
    }
}

TEST_F(DaysHoursStep, InterleavedSlotsAreNumberedPerFrameInDocumentOrder)
{
    ExchangeBuilder seneca;
    frame(seneca.group(kFrames), QStringLiteral("A"));
    frame(seneca, QStringLiteral("B"));
    seneca.group(kSlots);
    for (const char *frameCode : {"A", "B", "A", "B", "A"})
        slot(seneca, QStringLiteral("S"), QStringLiteral("s"), QStringLiteral("480"), QStringLiteral("540"),
            QLatin1String(frameCode));
    chooseFrames({0, 1});
    const TableRows rows = run(seneca);
    ASSERT_EQ(rows.size(), 35u);
    const QString a = QStringLiteral("A");
    const QString b = QStringLiteral("B");
    const QString zero = QStringLiteral("0");
    const QString one = QStringLiteral("1");
    EXPECT_EQ(numbering(day(rows, QStringLiteral("7"))),
        (TableRows{{QStringLiteral("71"), QStringLiteral("1"), zero, a},
            {QStringLiteral("71"), QStringLiteral("1"), one, b}, {QStringLiteral("72"), QStringLiteral("2"), zero, a},
            {QStringLiteral("72"), QStringLiteral("2"), one, b},
            {QStringLiteral("73"), QStringLiteral("3"), zero, a}}));
}

TEST_F(DaysHoursStep, TheHandOverTextGivesOneOrTwoFrameCodesByItsLength)
{
    struct Case {
        QString text;
        QString first;
        QString second;
    };
    const QString ten = QStringLiteral("7         ");
    const std::vector<Case> cases = {
        {ten, QStringLiteral("7"), QString()},
        {QStringLiteral("MANANA    TARDE     "), QStringLiteral("MANANA"), QStringLiteral("TARDE")},
        {QStringLiteral("ABCDEFGHIJKLMNOPQRST"), QStringLiteral("ABCDEFGHIJ"), QStringLiteral("KLMNOPQRST")},
        {QStringLiteral("MANANA              "), QStringLiteral("MANANA"), QString()},
        {QStringLiteral("M1"), QStringLiteral("M1"), QString()},
        {QStringLiteral("  M1 "), QStringLiteral("M1"), QString()},
        {QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY"), QStringLiteral("ABCDEFGHIJ"), QString()},
        {QStringLiteral("MANANA    TARDE"), QStringLiteral("MANANA"), QString()},
        {QString(), QString(), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const time_frames::FrameCodes codes = time_frames::decodeHandOver(c.text);
        EXPECT_EQ(codes.first, c.first);
        EXPECT_EQ(codes.second, c.second);
    }
}

TEST_F(DaysHoursStep, WithOneFrameInUseSlotsWithoutAFrameCodeCountAsTheEmptySecondFrame)
{
    ExchangeBuilder seneca;
    frame(seneca.group(kFrames), QStringLiteral("M1"));
    slot(seneca.group(kSlots), QStringLiteral("E"), QStringLiteral("e"), QStringLiteral("420"), QStringLiteral("480"),
        QString());
    slot(seneca, QStringLiteral("M"), QStringLiteral("m"), QStringLiteral("480"), QStringLiteral("540"),
        QStringLiteral("M1"));
    slot(seneca, QStringLiteral("F"), QStringLiteral("f"), QStringLiteral("540"), QStringLiteral("600"),
        QStringLiteral("  "));
    EXPECT_EQ(numbering(day(run(seneca), QStringLiteral("1"))),
        (TableRows{{QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("0"), QString()},
            {QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("M1")},
            {QStringLiteral("12"), QStringLiteral("2"), QStringLiteral("0"), QString()}}));
}

TEST_F(DaysHoursStep, WithoutAnyFrameTheSlotsWithoutAFrameCodeAreTakenAsFrameZero)
{
    ExchangeBuilder seneca;
    slot(seneca.group(kSlots), QStringLiteral("E1"), QStringLiteral("e"), QStringLiteral("480"), QStringLiteral("540"),
        QString());
    slot(seneca, QStringLiteral("X"), QStringLiteral("x"), QStringLiteral("480"), QStringLiteral("540"),
        QStringLiteral("M1"));
    slot(seneca, QStringLiteral("E2"), QStringLiteral("e"), QStringLiteral("540"), QStringLiteral("600"), QString());
    EXPECT_EQ(numbering(day(run(seneca), QStringLiteral("3"))),
        (TableRows{{QStringLiteral("31"), QStringLiteral("1"), QStringLiteral("0"), QString()},
            {QStringLiteral("32"), QStringLiteral("2"), QStringLiteral("0"), QString()}}));
    EXPECT_EQ(ui.frameDialogsShown, 0);
}

TEST_F(DaysHoursStep, StartAndEndBecomeTimeTextsAndTheirDifferenceInMinutes)
{
    struct Case {
        const char *start;
        const char *end;
        const char *from;
        const char *to;
        const char *minutes;
    };
    const std::vector<Case> cases = {
        {"480", "540", "08:00", "09:00", "60"},
        {"545", "600", "09:05", "10:00", "55"},
        {"", "45", "00:00", "00:45", "45"},
        {"5", "1439", "00:05", "23:59", "1434"},
        {" 0600 ", "0660", "10:00", "11:00", "60"},
        {"900", "840", "15:00", "14:00", "-60"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.start) + " - " + c.end);
        ExchangeBuilder seneca;
        frame(seneca.group(kFrames), QStringLiteral("M1"));
        slot(seneca.group(kSlots), QStringLiteral("T"), QStringLiteral("t"), QLatin1String(c.start),
            QLatin1String(c.end), QStringLiteral("M1"));
        const QStringList first = run(seneca).at(0);
        EXPECT_EQ(first.mid(6, 3), (QStringList{QLatin1String(c.from), QLatin1String(c.to), QLatin1String(c.minutes)}));
    }
}

TEST_F(DaysHoursStep, TimeTextsKeepTwoDigitsAndReadBackAsTheSameCount)
{
    const std::vector<std::pair<long long, QString>> cases
        = {{0, QStringLiteral("00:00")}, {480, QStringLiteral("08:00")}, {545, QStringLiteral("09:05")},
            {1439, QStringLiteral("23:59")}, {6000, QStringLiteral("100:00")}, {-5, QStringLiteral("-1:55")}};
    for (const auto &[minutes, text] : cases)
        EXPECT_EQ(time_frames::timeText(minutes), text) << minutes;
}

TEST_F(DaysHoursStep, TheChosenFramesAreHandedOverInListOrderWhateverTheClickOrder)
{
    ExchangeBuilder seneca;
    frame(seneca.group(kFrames), QStringLiteral("A"));
    frame(seneca, QStringLiteral("B"));
    frame(seneca, QStringLiteral("C"));
    slot(seneca.group(kSlots), QStringLiteral("SA"), QStringLiteral("a"), QStringLiteral("480"), QStringLiteral("540"),
        QStringLiteral("A"));
    slot(seneca, QStringLiteral("SB"), QStringLiteral("b"), QStringLiteral("420"), QStringLiteral("540"),
        QStringLiteral("B"));
    slot(seneca, QStringLiteral("SC"), QStringLiteral("c"), QStringLiteral("400"), QStringLiteral("540"),
        QStringLiteral("C"));
    QString handedOver;
    ui.frameDialog = [&](FrameDialog &dialog) {
        dialog.setSelected(2, true);
        dialog.setSelected(0, true);
        dialog.close();
        handedOver = dialog.resultado;
    };
    EXPECT_EQ(numbering(day(run(seneca), QStringLiteral("1"))),
        (TableRows{{QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("A")},
            {QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("C")}}));
    EXPECT_EQ(handedOver, QStringLiteral("A         C         "));
}

TEST_F(DaysHoursStep, AnInvalidChoiceOpensAFreshDialogAndMarksTheFailedAttempt)
{
    ExchangeBuilder seneca;
    frame(seneca.group(kFrames), QStringLiteral("A"));
    frame(seneca, QStringLiteral("B"));
    frame(seneca, QStringLiteral("C"));
    slot(seneca.group(kSlots), QStringLiteral("SB"), QStringLiteral("b"), QStringLiteral("480"), QStringLiteral("540"),
        QStringLiteral("B"));
    int attempt = 0;
    ui.frameDialog = [&](FrameDialog &dialog) {
        ++attempt;
        EXPECT_TRUE(dialog.selectedIndexes().empty()) << "a new attempt starts with nothing selected";
        EXPECT_EQ(dialog.current(), 0);
        if (attempt == 1)
            dialog.setSelection({0, 1, 2});
        else if (attempt == 3)
            dialog.setSelected(1, true);
        dialog.close();
    };
    const TableRows rows = run(seneca);
    EXPECT_EQ(ui.frameDialogsShown, 3);
    EXPECT_EQ(ui.messages, (QStringList{frame_dialog_texts::tooMany(), frame_dialog_texts::noneSelected()}));
    EXPECT_TRUE(session.result);
    EXPECT_EQ(rows.size(), 7u);
}

TEST_F(DaysHoursStep, ADialogThatCannotReadTheFileAgainStopsTheExportAndKeepsTheOldTable)
{
    writeTableRows(tablePath(), days_hours_table::layout(), {{QStringLiteral("11"), QStringLiteral("VIEJO")}});
    QFile old(tablePath());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();

    ExchangeBuilder seneca;
    frame(seneca.group(kFrames), QStringLiteral("A"));
    frame(seneca, QStringLiteral("B"));
    session.filenameXML = dir.filePath(QStringLiteral("borrado.xml"));
    ExportRun run(session, ui);
    run.setDocuments(seneca.document(), ExchangeBuilder().document());
    try {
        run.buildDaysHoursTable();
        FAIL() << "the step went on without a choice";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("borrado.xml"))) << error.what();
    }
    EXPECT_EQ(ui.frameDialogsShown, 0);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), before);
}

TEST_F(DaysHoursStep, AnInterfaceThatNeverClosesTheDialogStopsInsteadOfAskingForever)
{
    ExchangeBuilder seneca;
    frame(seneca.group(kFrames), QStringLiteral("A"));
    frame(seneca, QStringLiteral("B"));
    EXPECT_THROW(run(seneca), UserError);
    EXPECT_EQ(ui.frameDialogsShown, 1);
}

TEST_F(DaysHoursStep, ASingleFrameCodeOfTwentyCharactersIsOneCode)
{
    ExchangeBuilder seneca;
    frame(seneca.group(kFrames), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    slot(seneca.group(kSlots), QStringLiteral("S1"), QStringLiteral("s"), QStringLiteral("480"), QStringLiteral("540"),
        QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    slot(seneca, QStringLiteral("S2"), QStringLiteral("s"), QStringLiteral("480"), QStringLiteral("540"),
        QStringLiteral("KLMNOPQRST"));
    EXPECT_EQ(numbering(day(run(seneca), QStringLiteral("1"))),
        (TableRows{{QStringLiteral("11"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("ABCDEFGHIJ")}}));
}

TEST_F(DaysHoursStep, RecordsLackingPositionsReadThemAsEmptyText)
{
    // The slot has no frame code, so it belongs to the empty second frame; the first
    // frame has no period and starts at 0, before the slot's 08:00.
    ExchangeBuilder seneca;
    seneca.group(kFrames).record({QStringLiteral("M1")});
    seneca.group(kSlots).record({QStringLiteral("S1"), QStringLiteral("s"), QStringLiteral("480")});
    EXPECT_EQ(run(seneca).at(0),
        period(QStringLiteral("11"), QStringLiteral("S1"), QStringLiteral("1"), QStringLiteral("1"),
            QStringLiteral("s"), QStringLiteral("08:00"), QStringLiteral("00:00"), QStringLiteral("-480"),
            QStringLiteral("1"), QString()));
}

TEST_F(DaysHoursStep, ASlotTooShortToHoldItsFrameCodeIsNamedInANoteNotDroppedInSilence)
{
    ExchangeBuilder seneca;
    frame(seneca.group(kFrames), QStringLiteral("TARDE"));
    frame(seneca, QStringLiteral("MANANA"));
    slot(seneca.group(kSlots), QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("480"), QStringLiteral("540"),
        QStringLiteral("MANANA"));
    seneca.record({QStringLiteral("B"), QStringLiteral("b")});
    chooseFrames({0, 1});
    for (const QStringList &row : run(seneca))
        EXPECT_EQ(row.at(1), QStringLiteral("A")); // only slot A, day by day
    EXPECT_EQ(skippedNotes,
        QStringList{QStringLiteral("El registro 2 del grupo TRAMOS_HORARIOS no se ha exportado porque no tiene al "
                                   "menos 5 valores.")});
}
