// The time frame dialog's logic: what it lists and shows, and what it hands back.
#include "common/user_error.h"
#include "export/frame_dialog.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString kFrames = QStringLiteral("JORNADAS_ESCOLARES");
const QString kSlots = QStringLiteral("TRAMOS_HORARIOS");

class FrameDialogLogic : public ::testing::Test {
protected:
    // Three frames with codes M1, T1 and a long one, and slots of the first two.
    ExchangeBuilder threeFrames() const
    {
        ExchangeBuilder seneca;
        seneca.group(kFrames)
            .record({QStringLiteral("M1"), QStringLiteral("Mañana"), QStringLiteral("01/09/2024"),
                QStringLiteral("30/06/2025")})
            .record({QStringLiteral("T1"), QStringLiteral("Tarde"), QStringLiteral("15/09/2024"),
                QStringLiteral("20/06/2025")})
            .record(
                {QStringLiteral("NOCTURNO-LARGO"), QStringLiteral("Noche"), QStringLiteral("a"), QStringLiteral("b")});
        seneca.group(kSlots)
            .record({QStringLiteral("1"), QStringLiteral("08:00-09:00"), QStringLiteral("480"), QStringLiteral("540"),
                QStringLiteral("M1")})
            .record({QStringLiteral("2"), QStringLiteral("15:00-16:00"), QStringLiteral("900"), QStringLiteral("960"),
                QStringLiteral("T1")})
            .record({QStringLiteral("3"), QStringLiteral("09:00-10:00"), QStringLiteral("540"), QStringLiteral("600"),
                QStringLiteral("M1")});
        return seneca;
    }

    FrameDialog &open(const ExchangeBuilder &seneca)
    {
        dialog.emplace(seneca.writeTo(dir.path(), QStringLiteral("seneca.xml"), "UTF-8"), ui);
        dialog->activate();
        return *dialog;
    }

    QTemporaryDir dir;
    ScriptedInterface ui;
    std::optional<FrameDialog> dialog;
};

struct Display {
    QString name, firstDate, secondDate;
    QStringList slots;
    bool operator==(const Display &) const = default;
};

Display display(const FrameDialog &dialog)
{
    return {dialog.name(), dialog.firstDate(), dialog.secondDate(), dialog.slotLabels()};
}

void PrintTo(const Display &d, std::ostream *out)
{
    *out << (QStringList{d.name, d.firstDate, d.secondDate} + d.slots).join(QLatin1Char('|')).toStdString();
}

} // namespace

TEST_F(FrameDialogLogic, OpensWithTheFirstFrameOnDisplayAndNothingSelected)
{
    FrameDialog &d = open(threeFrames());
    EXPECT_EQ(
        d.frameCodes(), (QStringList{QStringLiteral("M1"), QStringLiteral("T1"), QStringLiteral("NOCTURNO-LARGO")}));
    EXPECT_TRUE(d.selectedIndexes().empty());
    EXPECT_EQ(d.current(), 0);
    EXPECT_EQ(display(d),
        (Display{QStringLiteral("Mañana"), QStringLiteral("01/09/2024"), QStringLiteral("30/06/2025"),
            {QStringLiteral("08:00-09:00"), QStringLiteral("09:00-10:00")}}));
}

TEST_F(FrameDialogLogic, TheDisplayFollowsTheLastClickWhetherItSelectedOrDeselected)
{
    FrameDialog &d = open(threeFrames());
    d.setSelected(1, true);
    d.frameClicked(1);
    const Display tarde{QStringLiteral("Tarde"), QStringLiteral("15/09/2024"), QStringLiteral("20/06/2025"),
        {QStringLiteral("15:00-16:00")}};
    EXPECT_EQ(display(d), tarde);
    d.setSelected(1, false);
    d.frameClicked(1);
    EXPECT_EQ(display(d), tarde);
    d.frameClicked(2);
    EXPECT_EQ(display(d), (Display{QStringLiteral("Noche"), QStringLiteral("a"), QStringLiteral("b"), {}}));
}

TEST_F(FrameDialogLogic, ClosingHandsOverOneBlockOfTenCharactersPerSelectedFrameInListOrder)
{
    struct Case {
        std::vector<int> clicks;
        QString resultado;
    };
    const std::vector<Case> cases = {
        {{0}, QStringLiteral("M1        ")},
        {{2}, QStringLiteral("NOCTURNO-L")},
        {{0, 2}, QStringLiteral("M1        NOCTURNO-L")},
        {{2, 0}, QStringLiteral("M1        NOCTURNO-L")},
    };
    for (const Case &c : cases) {
        FrameDialog &d = open(threeFrames());
        for (int index : c.clicks)
            d.setSelected(index, true);
        d.close();
        EXPECT_TRUE(d.resultMH);
        EXPECT_EQ(d.resultado, c.resultado);
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(FrameDialogLogic, TooManyOrNoFramesGiveTheirMessageOnceAndNoValidChoice)
{
    struct Case {
        std::vector<int> selected;
        QString message;
    };
    for (const Case &c :
        {Case{{0, 1, 2}, frame_dialog_texts::tooMany()}, Case{{}, frame_dialog_texts::noneSelected()}}) {
        ui.messages.clear();
        FrameDialog &d = open(threeFrames());
        d.setSelection(c.selected);
        d.close();
        d.close(); // the title bar after "Continuar" does not ask twice
        EXPECT_FALSE(d.resultMH);
        EXPECT_EQ(ui.messages, QStringList{c.message});
        EXPECT_TRUE(d.isClosed());
    }
}

TEST_F(FrameDialogLogic, ACodeOfOneCharacterIsFilledUpWithNineSpaces)
{
    EXPECT_EQ(frameBlock(QStringLiteral("7")), QStringLiteral("7         "));
    EXPECT_EQ(frameBlock(QStringLiteral(" 7")), QStringLiteral(" 7        "));
    EXPECT_EQ(frameBlock(QStringLiteral("ABCDEFGHIJKL")), QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(frameBlock(QString()), QStringLiteral("          "));
}

TEST_F(FrameDialogLogic, CodesAndTextsAreListedAndComparedUntrimmed)
{
    ExchangeBuilder seneca;
    seneca.group(kFrames)
        .record({QStringLiteral(" M1 "), QStringLiteral(" Mañana "), QStringLiteral("x"), QStringLiteral("y")})
        .record({QStringLiteral("M1"), QStringLiteral("Otro"), QStringLiteral("x"), QStringLiteral("y")});
    seneca.group(kSlots)
        .record({QStringLiteral("1"), QStringLiteral(" primera "), QStringLiteral("480"), QStringLiteral("540"),
            QStringLiteral(" M1 ")})
        .record({QStringLiteral("2"), QStringLiteral("segunda"), QStringLiteral("540"), QStringLiteral("600"),
            QStringLiteral("M1")});
    FrameDialog &d = open(seneca);
    EXPECT_EQ(d.frameCodes(), (QStringList{QStringLiteral(" M1 "), QStringLiteral("M1")}));
    EXPECT_EQ(display(d),
        (Display{QStringLiteral(" Mañana "), QStringLiteral("x"), QStringLiteral("y"), {QStringLiteral(" primera ")}}));
    d.setSelected(0, true);
    d.close();
    EXPECT_EQ(d.resultado, QStringLiteral(" M1       "));
}

TEST_F(FrameDialogLogic, ALaterFrameWithTheSameCodeOverwritesTheDisplay)
{
    ExchangeBuilder seneca;
    seneca.group(kFrames)
        .record({QStringLiteral("M1"), QStringLiteral("Primero"), QStringLiteral("a"), QStringLiteral("b")})
        .record({QStringLiteral("M1"), QStringLiteral("Segundo"), QStringLiteral("c"), QStringLiteral("d")});
    FrameDialog &d = open(seneca);
    EXPECT_EQ(display(d), (Display{QStringLiteral("Segundo"), QStringLiteral("c"), QStringLiteral("d"), {}}));
}

TEST_F(FrameDialogLogic, ASingleSlotRecordInTheDocumentIsShownToo)
{
    ExchangeBuilder seneca;
    seneca.group(kFrames)
        .record({QStringLiteral("M1"), QStringLiteral("Mañana"), QStringLiteral("a"), QStringLiteral("b")})
        .record({QStringLiteral("T1"), QStringLiteral("Tarde"), QStringLiteral("c"), QStringLiteral("d")});
    seneca.group(kSlots).record({QStringLiteral("1"), QStringLiteral("única"), QStringLiteral("480"),
        QStringLiteral("540"), QStringLiteral("M1")});
    EXPECT_EQ(open(seneca).slotLabels(), QStringList{QStringLiteral("única")});
}

TEST_F(FrameDialogLogic, RecordsLackingPositionsShowEmptyTexts)
{
    ExchangeBuilder seneca;
    seneca.group(kFrames).record({QStringLiteral("M1")}).record({QStringLiteral("T1"), QStringLiteral("Tarde")});
    seneca.group(kSlots).record({QStringLiteral("1"), QStringLiteral("sin marco")}).record({QStringLiteral("2")});
    FrameDialog &d = open(seneca);
    EXPECT_EQ(display(d), (Display{QString(), QString(), QString(), {}}));
}

TEST_F(FrameDialogLogic, AFileThatCannotBeReadAgainStopsWithAMessageNamingIt)
{
    const QString path = dir.filePath(QStringLiteral("roto.xml"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<SERVICIO><BLOQUE_DATOS>");
    file.close();
    for (const QString &name : {path, dir.filePath(QStringLiteral("no-existe.xml"))}) {
        FrameDialog d(name, ui);
        try {
            d.activate();
            FAIL() << "activated without a file";
        } catch (const UserError &error) {
            EXPECT_TRUE(error.message().contains(QFileInfo(name).fileName())) << error.what();
        }
        EXPECT_FALSE(d.isActivated());
    }
}

TEST_F(FrameDialogLogic, AFileThatNoLongerHoldsFramesToChooseFromStops)
{
    ExchangeBuilder seneca;
    seneca.group(kFrames).record({QStringLiteral("M1"), QStringLiteral("Mañana")});
    FrameDialog d(seneca.writeTo(dir.path(), QStringLiteral("seneca.xml"), "UTF-8"), ui);
    EXPECT_THROW(d.activate(), UserError);
}

TEST_F(FrameDialogLogic, TakesTheFramesFromTheRunsReadingOfTheSameFileInsteadOfParsingItAgain)
{
    const QString path = threeFrames().writeTo(dir.path(), QStringLiteral("seneca.xml"), "UTF-8");
    const ExchangeDocument loaded = ExchangeDocument::load(path);
    ASSERT_TRUE(QFile::remove(path)); // a second parse would now fail
    FrameDialog d(path, ui, &loaded);
    d.activate();
    EXPECT_EQ(
        d.frameCodes(), (QStringList{QStringLiteral("M1"), QStringLiteral("T1"), QStringLiteral("NOCTURNO-LARGO")}));
    EXPECT_EQ(display(d),
        (Display{QStringLiteral("Mañana"), QStringLiteral("01/09/2024"), QStringLiteral("30/06/2025"),
            {QStringLiteral("08:00-09:00"), QStringLiteral("09:00-10:00")}}));

    // A reading of another file is not taken for the dialog's file.
    FrameDialog other(dir.filePath(QStringLiteral("otro.xml")), ui, &loaded);
    EXPECT_THROW(other.activate(), UserError);
    EXPECT_FALSE(other.isActivated());
}
