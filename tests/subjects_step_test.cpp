// Step 3: the subject catalogue ASIGNOMT.DBF with unique codes, and the cross
// reference ASIGNOMT2.DBF of subject identifiers and course keys; and the check of
// the school's reference table SENEMATERIAS.DBF before anything is written.
#include "export_steps_fixture.h"

#include "common/user_error.h"
#include "export/subject_code_derivation.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"

#include <QDir>
#include <QFile>

#include <set>

using namespace export_steps;

namespace {

class SubjectsStep : public ExportStepsFixture {
protected:
    void build(const ExchangeBuilder &seneca) { runOver(seneca).buildSubjectsTables(); }
    Rows subjects() const { return records(subjects_table::fileName()); }
    Rows offers() const { return records(subject_offers_table::fileName()); }
};

ExchangeBuilder materias()
{
    return ExchangeBuilder().group(QStringLiteral("MATERIAS"));
}

// A subject catalogue row as step 3 writes it: CODTAREA empty, ESTAREA false, R_UNI_MAT empty.
Row subject(const std::string &code, const std::string &longCode, const std::string &name)
{
    return {code, longCode, name, "", "F", ""};
}

// A cross-reference row: COD, CODLARGO, NOMBRE, MATERIA, OFERTAMATRI, CODTAREA, ESTAREA.
Row offer(const std::string &code, const std::string &longCode, const std::string &name, const std::string &id,
    const std::string &course)
{
    return {code, longCode, name, id, course, "", "F"};
}

struct DerivationCase {
    std::string name;
    std::string referenceCode;
    std::string referenceLongCode;
    std::string code;
    std::string longCode;
};

} // namespace

TEST(SubjectCodeDerivation, CodesComeFromTheReferenceOrFromTheName)
{
    const std::vector<DerivationCase> cases = {
        // Capitals A-Z; one capital alone gives the first six characters or the initials.
        {"Biología y Geología", "", "", "BG", "Biología y"},
        {"Matemáticas", "", "", "Matemá", "Matemá"},
        {"Lengua castellana", "", "", "Lc", "Lengua cas"},
        {"TECNOLOGÍA", "", "", "TECNOLOGA", "TECNOLOGA"},
        {"música", "", "", "música", "música"},
        {"educación física", "", "", "ef", "educación "},
        // A first character that is not a capital A-Z leads the capitals.
        {"Ética y Ciudadanía", "", "", "ÉC", "Ética y Ci"},
        {"2º Idioma Francés", "", "", "2IF", "2º Idioma "},
        // Two spaces in a row give a space and then the character after them.
        {"a  b", "", "", "a b", "a  b"},
        // A code of more than four characters is the long code, before it is cut to ten.
        {"PROYECTO INTEGRADO DE TECNOLOGÍA", "", "", "PROYECTOIN", "PROYECTOINTEGRADODETECNOLOGA"},
        // The reference table's codes are used as found; only the code is cut to ten.
        {"Biología y Geología", "BYG", "BIOGEO", "BYG", "BIOGEO"},
        {"Matemáticas", "MATEMATICAS1", "", "MATEMATICA", "MATEMATICAS1"},
        {"Matemáticas", "MAT", "", "MAT", "Matemática"},
        {"Matemáticas", "", "MATES", "Matemá", "MATES"},
        {"Matemáticas", "   ", "", "Matemá", "Matemá"},
        // Nothing to derive from.
        {"", "", "", "", ""},
    };
    for (const DerivationCase &c : cases) {
        const SubjectCodes codes = deriveSubjectCodes(qs(c.name), {qs(c.referenceCode), qs(c.referenceLongCode)});
        EXPECT_EQ(utf8(codes.code), c.code) << c.name << " / " << c.referenceCode;
        EXPECT_EQ(utf8(codes.longCode), c.longCode) << c.name << " / " << c.referenceLongCode;
    }
}

TEST(SubjectCodeUniqueness, EachCodeIsIssuedOnce)
{
    struct Case {
        const char *what;
        std::vector<std::string> alreadyIssued;
        std::vector<std::string> asked;
        std::vector<std::string> issued;
    };
    const std::string ten = "ABCDEFGHIJ";
    std::vector<std::string> tenTimesTen(10, ten);
    std::vector<std::string> tenIssued = {ten};
    for (int i = 1; i <= 9; ++i)
        tenIssued.push_back("ABCDEFGHI" + std::to_string(i));
    std::vector<std::string> elevenTimesTen(11, ten);
    std::vector<std::string> elevenIssued = tenIssued;
    elevenIssued.push_back("ABCDEFGH10");
    std::vector<std::string> afterCollision = tenIssued;
    afterCollision.push_back("ABCDEFGH11");

    const std::vector<Case> cases = {
        {"a free code is issued as it is", {}, {"BG", "Lc"}, {"BG", "Lc"}},
        {"a taken code loses its last character for 1, 2, ...", {}, {"BG", "BG", "BG"}, {"BG", "B1", "B2"}},
        {"a suffixed code taken already is passed over", {"B1"}, {"BG", "BG"}, {"BG", "B2"}},
        {"different codes with one stem share the suffixes", {}, {"BG", "BH", "BG"}, {"BG", "BH", "B1"}},
        {"ten characters and suffixes 1 to 9", {}, tenTimesTen, tenIssued},
        {"suffix 10 on ten characters keeps the first 8 and the last 2", {}, elevenTimesTen, elevenIssued},
        {"a cut code already issued goes on to the next suffix", {"ABCDEFGH10"}, elevenTimesTen, afterCollision},
        {"the letter case counts", {}, {"Bg", "BG", "bg"}, {"Bg", "BG", "bg"}},
    };
    for (const Case &c : cases) {
        SubjectCodeLists lists;
        for (const std::string &code : c.alreadyIssued)
            lists.codesIssued.insert(qs(code));
        std::vector<std::string> issued;
        for (const std::string &code : c.asked)
            issued.push_back(utf8(lists.issue(qs(code)).value_or(QStringLiteral("<ninguno>"))));
        EXPECT_EQ(issued, c.issued) << c.what;
    }
}

TEST(SubjectCodeUniqueness, WhenEveryCutFormIsTakenTheWholeSuffixIsKept)
{
    // ABCDEFGHIJ, ABCDEFGHI1..9, ABCDEFGH10..99 and ABCDEFGH00..09: the 110 codes
    // the 8 + 2 cut can give; then the stem makes room for the whole suffix.
    SubjectCodeLists lists;
    lists.codesIssued.insert(QStringLiteral("ABCDEFG101"));
    std::vector<std::string> issued;
    for (int i = 0; i < 113; ++i)
        issued.push_back(utf8(lists.issue(QStringLiteral("ABCDEFGHIJ")).value_or(QStringLiteral("<ninguno>"))));
    EXPECT_EQ(issued[99], "ABCDEFGH99");
    EXPECT_EQ(issued[100], "ABCDEFGH00");
    EXPECT_EQ(issued[109], "ABCDEFGH09");
    EXPECT_EQ(issued[110], "ABCDEFG100");
    EXPECT_EQ(issued[111], "ABCDEFG102");
    EXPECT_EQ(issued[112], "ABCDEFG103");
    EXPECT_EQ(lists.codesIssued.size(), 114);
}

TEST_F(SubjectsStep, WritesBothTablesWithTheirLayouts)
{
    build(materias());
    EXPECT_EQ(fields(subjects_table::fileName()),
        (Fields{"COD C 10", "CODLARGO C 10", "NOMBRE C 80", "CODTAREA C 10", "ESTAREA L 1", "R_UNI_MAT C 4"}));
    EXPECT_EQ(fields(subject_offers_table::fileName()),
        (Fields{"COD C 10", "CODLARGO C 10", "NOMBRE C 80", "MATERIA C 20", "OFERTAMATRI C 20", "CODTAREA C 10",
            "ESTAREA L 1"}));
    EXPECT_TRUE(subjects().empty());
    EXPECT_TRUE(offers().empty());
    EXPECT_EQ(run->tablesWritten, (QStringList{subjects_table::fileName(), subject_offers_table::fileName()}));
}

TEST_F(SubjectsStep, EachNewSubjectGetsItsDerivedCodes)
{
    build(materias()
              .subject("1001", "Biología y Geología", "11")
              .subject("1001", "Matemáticas", "12")
              .subject("1001", "Lengua castellana", "13")
              .subject("1001", "TECNOLOGÍA", "14")
              .subject("1001", "música", "15")
              .subject("1001", "educación física", "16"));
    EXPECT_EQ(subjects(),
        (Rows{subject("BG", "Biología y", "Biología y Geología"), subject("Matemá", "Matemá", "Matemáticas"),
            subject("Lc", "Lengua cas", "Lengua castellana"), subject("TECNOLOGA", "TECNOLOGA", "TECNOLOGÍA"),
            subject("música", "música", "música"), subject("ef", "educación", "educación física")}));
    EXPECT_EQ(offers(),
        (Rows{offer("BG", "Biología y", "Biología y Geología", "11", "1001"),
            offer("Matemá", "Matemá", "Matemáticas", "12", "1001"),
            offer("Lc", "Lengua cas", "Lengua castellana", "13", "1001"),
            offer("TECNOLOGA", "TECNOLOGA", "TECNOLOGÍA", "14", "1001"),
            offer("música", "música", "música", "15", "1001"),
            offer("ef", "educación", "educación física", "16", "1001")}));
}

TEST_F(SubjectsStep, OneSubjectInTwoCoursesIsOneSubjectWithTwoOffersAndARepeatAddsNothing)
{
    build(materias()
              .subject("1001", "Matemáticas", "12")
              .subject("2002", "Matemáticas", "12")
              .subject("1001", "Matemáticas", "12")
              .subject("2002", "Matemáticas", "12"));
    EXPECT_EQ(subjects(), (Rows{subject("Matemá", "Matemá", "Matemáticas")}));
    EXPECT_EQ(offers(),
        (Rows{offer("Matemá", "Matemá", "Matemáticas", "12", "1001"),
            offer("Matemá", "Matemá", "Matemáticas", "12", "2002")}));
}

TEST_F(SubjectsStep, AKnownSubjectUnderAnotherIdentifierAddsAnOfferWithTheSameCode)
{
    build(materias().subject("1001", "Matemáticas", "12").subject("1001", "Matemáticas", "99"));
    EXPECT_EQ(subjects(), (Rows{subject("Matemá", "Matemá", "Matemáticas")}));
    EXPECT_EQ(offers(),
        (Rows{offer("Matemá", "Matemá", "Matemáticas", "12", "1001"),
            offer("Matemá", "Matemá", "Matemáticas", "99", "1001")}));
}

TEST_F(SubjectsStep, DifferentNamesWithOneCodeGetBGThenB1ThenB2)
{
    build(materias()
              .subject("1001", "Biología y Geología", "11")
              .subject("1001", "Bases Gráficas", "12")
              .subject("1001", "Botánica General", "13")
              .subject("2002", "Bases Gráficas", "12"));
    EXPECT_EQ(subjects(),
        (Rows{subject("BG", "Biología y", "Biología y Geología"), subject("B1", "Bases Gráf", "Bases Gráficas"),
            subject("B2", "Botánica G", "Botánica General")}));
    EXPECT_EQ(offers(),
        (Rows{offer("BG", "Biología y", "Biología y Geología", "11", "1001"),
            offer("B1", "Bases Gráf", "Bases Gráficas", "12", "1001"),
            offer("B2", "Botánica G", "Botánica General", "13", "1001"),
            offer("B1", "Bases Gráf", "Bases Gráficas", "12", "2002")}));
}

TEST_F(SubjectsStep, NamesDifferingOnlyInCaseAreTwoSubjectsAndEachKeepsItsOwnCode)
{
    // Same long code and the same name in capitals, but not the same name.
    build(materias()
              .subject("1001", "Biología y Geología", "11")
              .subject("1001", "Biología y geología", "21")
              .subject("2002", "Biología y geología", "21")
              .subject("2002", "Biología y Geología", "11"));
    EXPECT_EQ(subjects(),
        (Rows{
            subject("BG", "Biología y", "Biología y Geología"), subject("Byg", "Biología y", "Biología y geología")}));
    EXPECT_EQ(offers(),
        (Rows{offer("BG", "Biología y", "Biología y Geología", "11", "1001"),
            offer("Byg", "Biología y", "Biología y geología", "21", "1001"),
            offer("Byg", "Biología y", "Biología y geología", "21", "2002"),
            offer("BG", "Biología y", "Biología y Geología", "11", "2002")}));
}

TEST_F(SubjectsStep, TheEleventhSubjectOfATenCharacterCodeGetsSuffix10AndSkipsACodeAlreadyGiven)
{
    // "Proyecto" takes ABCDEFGH10 from the reference table before the family reaches it.
    writeReferenceSubjects({{"Proyecto", "ABCDEFGH10", "PROY"}});
    ExchangeBuilder seneca = materias();
    seneca.subject("1001", "Proyecto", "1");
    for (char tail = 'a'; tail <= 'k'; ++tail)
        seneca.subject("1001", QStringLiteral("ABCDEFGHIJ ") + QLatin1Char(tail), QString::number(tail));
    build(seneca);
    Rows expected = {subject("ABCDEFGH10", "PROY", "Proyecto"), subject("ABCDEFGHIJ", "ABCDEFGHIJ", "ABCDEFGHIJ a")};
    for (char tail = 'b'; tail <= 'j'; ++tail)
        expected.push_back(
            subject("ABCDEFGHI" + std::to_string(tail - 'a'), "ABCDEFGHIJ", std::string("ABCDEFGHIJ ") + tail));
    expected.push_back(subject("ABCDEFGH11", "ABCDEFGHIJ", "ABCDEFGHIJ k"));
    EXPECT_EQ(subjects(), expected);
}

TEST_F(SubjectsStep, MoreSubjectsOfOneLongCodeThanTheCutFormsHoldStillGetCodesOfTheirOwn)
{
    ExchangeBuilder seneca = materias();
    for (int i = 0; i < 112; ++i)
        seneca.subject("1001", QStringLiteral("ABCDEFGHIJ x%1").arg(i), QString::number(i));
    build(seneca);
    const Rows codes = columns(subjects_table::fileName(), {"COD"});
    ASSERT_EQ(codes.size(), 112u);
    EXPECT_EQ(std::set<Row>(codes.begin(), codes.end()).size(), 112u);
    EXPECT_EQ(codes[110], Row{"ABCDEFG100"});
    EXPECT_EQ(codes[111], Row{"ABCDEFG101"});
}

TEST_F(SubjectsStep, TheReferenceTableGivesTheCodesOfANameItKnowsExactly)
{
    writeReferenceSubjects({
        {"Matemáticas", "MATEMATICAS1", ""},
        {"Biología y Geología", "BYG", "BIOGEO"},
        {"Biología y Geología", "OTRO", "OTRO"},
        {"Lengua Castellana", "LCL", "LENGUA"},
    });
    build(materias()
              .subject("1001", "Matemáticas", "12")
              .subject("1001", "Biología y Geología", "11")
              .subject("1001", "Lengua castellana", "13"));
    // The first record of a name counts; the case of the name counts too.
    EXPECT_EQ(subjects(),
        (Rows{subject("MATEMATICA", "MATEMATICA", "Matemáticas"), subject("BYG", "BIOGEO", "Biología y Geología"),
            subject("Lc", "Lengua cas", "Lengua castellana")}));
}

TEST_F(SubjectsStep, NameAndIdentifierAreToldApartByTheirFieldNames)
{
    ExchangeBuilder seneca = materias();
    seneca.subject("1001", "Matemáticas", "12");
    seneca.named({{QStringLiteral("X_OFERTAMATRIG"), QStringLiteral("2002")},
        {QStringLiteral("X_MATERIAOMG"), QStringLiteral("12")},
        {QStringLiteral("D_MATERIAC"), QStringLiteral("Matemáticas")}});
    // Neither field name: the text at position 2 is the name, the one at 1 the identifier.
    seneca.record({QStringLiteral("3003"), QStringLiteral("77"), QStringLiteral("Música")});
    build(seneca);
    EXPECT_EQ(subjects(), (Rows{subject("Matemá", "Matemá", "Matemáticas"), subject("Música", "Música", "Música")}));
    EXPECT_EQ(offers(),
        (Rows{offer("Matemá", "Matemá", "Matemáticas", "12", "1001"),
            offer("Matemá", "Matemá", "Matemáticas", "12", "2002"),
            offer("Música", "Música", "Música", "77", "3003")}));
}

TEST_F(SubjectsStep, EntriesWithFewerThanTwoValuesAreSkippedAndAMissingIdentifierReadsEmpty)
{
    ExchangeBuilder seneca = materias();
    seneca.record({QStringLiteral("1001")});
    seneca.named({{QStringLiteral("X_OFERTAMATRIG"), QStringLiteral("1001")},
        {QStringLiteral("D_MATERIAC"), QStringLiteral("Matemáticas")}});
    build(seneca);
    EXPECT_EQ(subjects(), (Rows{subject("Matemá", "Matemá", "Matemáticas")}));
    EXPECT_EQ(offers(), (Rows{offer("Matemá", "Matemá", "Matemáticas", "", "1001")}));
    EXPECT_TRUE(ui.notes.isEmpty());
}

TEST_F(SubjectsStep, AnEntryWithoutANameIsLeftOutAndNamedInANote)
{
    build(materias().subject("1001", "Matemáticas", "12").subject("1001", "  ", "13").subject("2002", "Música", "14"));
    EXPECT_EQ(subjects(), (Rows{subject("Matemá", "Matemá", "Matemáticas"), subject("Música", "Música", "Música")}));
    EXPECT_EQ(offers().size(), 2u);
    ASSERT_EQ(ui.notes.size(), 1);
    EXPECT_EQ(ui.notes.front(),
        QStringLiteral(
            "La materia 2 del grupo MATERIAS (curso 1001, identificador 13) no tiene nombre: no se exporta."));
}

TEST_F(SubjectsStep, AKnownSubjectWhoseNameTheTableCannotHoldExactlyStillGetsItsOffers)
{
    // "≥" has no place in the tables' code page and a name over 80 characters is
    // cut; the second course must still find the subject written for the first.
    const QString symbol = QStringLiteral("Matemáticas ≥ 2");
    const QString longName = QStringLiteral("Proyecto ") + QString(90, QLatin1Char('x'));
    build(materias()
              .subject("1001", symbol, "12")
              .subject("2002", symbol, "12")
              .subject("1001", longName, "13")
              .subject("2002", longName, "13"));
    const Rows rows = offers();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][0], rows[0][0]);
    EXPECT_EQ(rows[1][4], "2002");
    EXPECT_EQ(rows[3][0], rows[2][0]);
    EXPECT_EQ(rows[3][4], "2002");
    EXPECT_EQ(subjects().size(), 2u);
}

TEST_F(SubjectsStep, TheTablesAreRebuiltFromNothing)
{
    build(materias().subject("1001", "Matemáticas", "12"));
    build(materias().subject("1001", "Música", "14"));
    EXPECT_EQ(subjects(), (Rows{subject("Música", "Música", "Música")}));
    EXPECT_EQ(offers(), (Rows{offer("Música", "Música", "Música", "14", "1001")}));
}

// The reference table is checked before anything is written.
class SubjectReferenceCheck : public ExportStepsFixture {
protected:
    std::optional<QString> checkError()
    {
        ExportRun &run = runOver(ExchangeBuilder());
        try {
            run.checkSubjectReferenceTable();
        } catch (const UserError &error) {
            return error.message();
        }
        return std::nullopt;
    }
    QString shownPath() const { return QDir::toNativeSeparators(session.materiasTablePath()); }
};

TEST_F(SubjectReferenceCheck, AnEmptyTableWithTheThreeFieldsPasses)
{
    EXPECT_EQ(checkError(), std::nullopt);
}

TEST_F(SubjectReferenceCheck, AMissingTableIsReportedWithThePathLookedAt)
{
    dbf::removeTableFiles(session.materiasTablePath());
    const std::optional<QString> error = checkError();
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(shownPath())) << utf8(*error);
    EXPECT_TRUE(error->startsWith(QStringLiteral("No se encuentra la tabla de materias de referencia")))
        << utf8(*error);
}

TEST_F(SubjectReferenceCheck, AFileThatIsNotATableIsReportedWithItsPath)
{
    QFile file(session.materiasTablePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("no es una tabla");
    file.close();
    const std::optional<QString> error = checkError();
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith(QStringLiteral("No se puede leer la tabla de materias de referencia ") + shownPath()))
        << utf8(*error);
}

TEST_F(SubjectReferenceCheck, ATableWithoutTheCodeFieldsIsReportedWithWhatIsMissing)
{
    writeTable(session.materiasTablePath(), {dbf::charField("NOMBRE", 80), dbf::charField("CODIGO", 10)}, {});
    const std::optional<QString> error = checkError();
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(shownPath())) << utf8(*error);
    EXPECT_TRUE(error->contains(QStringLiteral("le falta COD, CODLARGO"))) << utf8(*error);
}

TEST_F(SubjectReferenceCheck, AnExportWithoutTheTableWritesNothing)
{
    dbf::removeTableFiles(session.materiasTablePath());
    QTemporaryDir inputs;
    const QString senecaFile = materias().subject("1001", "Matemáticas", "12").writeTo(inputs.path(), "seneca.xml");
    const QString planningFile = ExchangeBuilder().writeTo(inputs.path(), "planificacion.xml");
    ui.fileChoices = {senecaFile, planningFile};
    ExportRun driver(session, ui);
    EXPECT_THROW(driver.run(), UserError);
    EXPECT_TRUE(QDir(session.workDir).isEmpty());
}
