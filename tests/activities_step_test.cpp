// Step 4: the activities appended to ASIGNOMT.DBF as tasks, and the release of
// the subject code lists.
#include "export_steps_fixture.h"

#include "export/subjects_table.h"

using namespace export_steps;

namespace {

class ActivitiesStep : public ExportStepsFixture {
protected:
    // Steps 3 and 4 over one document, as the driver runs them.
    void build(const ExchangeBuilder &seneca)
    {
        ExportRun &steps = runOver(seneca);
        steps.buildSubjectsTables();
        steps.appendActivityTasks();
    }
    Rows subjects() const { return records(subjects_table::fileName()); }
};

// COD, CODLARGO, NOMBRE, CODTAREA, ESTAREA, R_UNI_MAT of an activity.
Row task(const std::string &code, const std::string &longCode, const std::string &name, const std::string &flags)
{
    return {code, longCode, name, code, "T", flags};
}

ExchangeBuilder activities(ExchangeBuilder seneca = ExchangeBuilder())
{
    seneca.group(QStringLiteral("ACTIVIDADES"));
    return seneca;
}

QString text(const char *utf8Text)
{
    return QString::fromUtf8(utf8Text);
}

} // namespace

TEST_F(ActivitiesStep, ActivitiesFollowTheSubjectsAsTasks)
{
    ExchangeBuilder seneca = ExchangeBuilder().group(QStringLiteral("MATERIAS")).subject("1001", "Matemáticas", "12");
    seneca = activities(seneca);
    seneca.record({text("N"), text("123"), text("Guardia"), text("S"), text("N")});
    seneca.record({text("S"), text("456"), text("Reunión de departamento"), text("N"), text("S")});
    build(seneca);
    EXPECT_EQ(subjects(),
        (Rows{{"Matemá", "Matemá", "Matemáticas", "", "F", ""}, task("#123", "Guardia", "Guardia", "SN"),
            task("456", "Reunión de", "Reunión de departamento", "NS")}));
    EXPECT_EQ(run->tablesWritten.count(subjects_table::fileName()), 1);
}

TEST_F(ActivitiesStep, OnlyACapitalNMarkerPutsAHashBeforeTheCode)
{
    ExchangeBuilder seneca = activities();
    for (const char *marker : {"N", "S", "n", "", " N "})
        seneca.record({text(marker), text("7"), text("Guardia"), text("S"), text("S")});
    build(seneca);
    // The marker is trimmed like every value, so " N " counts as N.
    EXPECT_EQ(subjects(),
        (Rows{task("#7", "Guardia", "Guardia", "SS"), task("7", "Guardia", "Guardia", "SS"),
            task("7", "Guardia", "Guardia", "SS"), task("7", "Guardia", "Guardia", "SS"),
            task("#7", "Guardia", "Guardia", "SS")}));
}

TEST_F(ActivitiesStep, CodesAreNeitherMadeUniqueNorCheckedAgainstSubjects)
{
    ExchangeBuilder seneca = ExchangeBuilder().group(QStringLiteral("MATERIAS")).subject("1001", "Guardia", "12");
    seneca = activities(seneca);
    seneca.record({text("S"), text("Guardi"), text("Guardia"), text("S"), text("N")});
    seneca.record({text("S"), text("Guardi"), text("Guardia de recreo"), text("S"), text("N")});
    build(seneca);
    EXPECT_EQ(subjects(),
        (Rows{{"Guardi", "Guardi", "Guardia", "", "F", ""}, task("Guardi", "Guardia", "Guardia", "SN"),
            task("Guardi", "Guardia de", "Guardia de recreo", "SN")}));
}

TEST_F(ActivitiesStep, FieldsKeepWhatTheirWidthsHold)
{
    ExchangeBuilder seneca = activities();
    // A 10-character code with "#" in front loses its last character; the flags
    // keep their first 4 characters; the name its first 80.
    seneca.record({text("N"), text("1234567890"), QString(85, QLatin1Char('a')), text("SSS"), text("NNN")});
    build(seneca);
    EXPECT_EQ(subjects(), (Rows{task("#123456789", std::string(10, 'a'), std::string(80, 'a'), "SSSN")}));
}

TEST_F(ActivitiesStep, ShortEntriesAreSkippedOrReadTheirMissingValuesAsEmpty)
{
    ExchangeBuilder seneca = activities();
    seneca.record({text("N")});
    seneca.record({text("N"), text("8")});
    seneca.record({text("S"), text("9"), text("Tutoría"), text("S")});
    build(seneca);
    EXPECT_EQ(subjects(), (Rows{task("#8", "", "", ""), task("9", "Tutoría", "Tutoría", "S")}));
}

TEST_F(ActivitiesStep, TheSubjectCodeListsAreReleasedAlsoWithoutActivities)
{
    build(ExchangeBuilder().group(QStringLiteral("MATERIAS")).subject("1001", "Matemáticas", "12"));
    EXPECT_EQ(run->codeLists, nullptr);
    EXPECT_EQ(subjects(), (Rows{{"Matemá", "Matemá", "Matemáticas", "", "F", ""}}));
}

TEST_F(ActivitiesStep, ASubjectsStepAfterTheReleaseStartsWithFreshLists)
{
    // A second run of the steps on one ExportRun: the lists of the first run are gone,
    // so the codes come out as the first time.
    const ExchangeBuilder seneca
        = ExchangeBuilder().group(QStringLiteral("MATERIAS")).subject("1001", "Biología y Geología", "11");
    ExportRun &steps = runOver(seneca);
    steps.buildSubjectsTables();
    steps.appendActivityTasks();
    steps.buildSubjectsTables();
    EXPECT_EQ(subjects(), (Rows{{"BG", "Biología y", "Biología y Geología", "", "F", ""}}));
}
