// Step 6: AULAT.DBF, where the Séneca room identifier is also the room's code.
#include "export_steps_fixture.h"

#include "export/rooms_table.h"

using namespace export_steps;

namespace {

class RoomsStep : public ExportStepsFixture {
protected:
    void build(const ExchangeBuilder &seneca) { runOver(seneca).buildRoomsTable(); }
    Rows rooms() const { return records(rooms_table::fileName()); }
};

ExchangeBuilder dependencias()
{
    return ExchangeBuilder().group(QStringLiteral("DEPENDENCIAS"));
}

} // namespace

TEST_F(RoomsStep, AnEmptyGroupGivesAnEmptyTableWithTheFullLayout)
{
    build(dependencias());
    EXPECT_EQ(fields(rooms_table::fileName()),
        (Fields{"ABREV C 10", "NOMBRE C 80", "EDIFICIO C 1", "MAXALUM I 4", "DEPCENTRO C 10"}));
    EXPECT_TRUE(rooms().empty());
    EXPECT_EQ(run->tablesWritten, QStringList{rooms_table::fileName()});
}

TEST_F(RoomsStep, EachRoomIsOneRecordUnderItsIdentifier)
{
    build(dependencias()
              .record({QStringLiteral("123"), QStringLiteral("Aula 1"), QStringLiteral("ignorado")})
              .record({QStringLiteral("123456789012"), QStringLiteral("Laboratorio de Física")})
              .record({QStringLiteral("solo")})
              .record({QStringLiteral("123"), QStringLiteral("Aula 1 bis")}));
    // Codes are not made unique; a long identifier keeps its first 10 characters.
    EXPECT_EQ(rooms(),
        (Rows{{"123", "Aula 1", "", "", "123"}, {"1234567890", "Laboratorio de Física", "", "", "1234567890"},
            {"123", "Aula 1 bis", "", "", "123"}}));
}
