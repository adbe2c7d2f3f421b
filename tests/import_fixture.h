#pragma once
// Shared by the import tests: a working folder with every table an import reads,
// built from a few rows a test names (everything else empty), a Séneca file, and
// the output document read back as datos per record group.

#include "common/dbf_table.h"
#include "common/user_error.h"
#include "common/xml_document.h"
#include "export/assignments_table.h"
#include "export/authorisations_table.h"
#include "export/course_levels_table.h"
#include "export/courses_table.h"
#include "export/days_hours_table.h"
#include "export/groups_table.h"
#include "export/origins_table.h"
#include "export/periods_table.h"
#include "export/rooms_table.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"
#include "import/import_run.h"
#include "import/solution_table.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace import_test {

// Field name and value; fields a row does not name stay blank (null for numbers).
using Row = std::vector<std::pair<const char *, QString>>;
// A record group as "NOMBRE=valor" per dato, in document order.
using Datos = std::vector<std::string>;

inline const QString kFecha = QStringLiteral("01/02/2025 10:30:00");

// One SOLUC record; the designated initialisers of a test name what matters.
struct Placed {
    QString prof{};
    int dia = 1;
    int hora = 1;
    QString marco = QStringLiteral("0");
    QString asig{};
    QString tarea{};
    QString grupo{};
    QString aula{};
    QString concierto{};
};

class ImportFixture : public ::testing::Test {
protected:
    ImportFixture()
    {
        session.workDir = dir.filePath(QStringLiteral("ktemp"));
        session.programDir = dir.filePath(QStringLiteral("programa"));
        senecaDir = dir.filePath(QStringLiteral("seneca"));
        QDir().mkpath(session.workDir);
        QDir().mkpath(session.programDir);
        QDir().mkpath(senecaDir);
        for (const auto &[name, layout] : std::vector<std::pair<QString, const dbf::Layout *>>{
                 {solution_table::fileName(), &solution_table::layout()},
                 {groups_table::fileName(), &groups_table::layout()},
                 {courses_table::fileName(), &courses_table::layout()},
                 {teachers_table::fileName(), &teachers_table::layout()},
                 {rooms_table::fileName(), &rooms_table::layout()},
                 {subjects_table::fileName(), &subjects_table::layout()},
                 {subject_offers_table::fileName(), &subject_offers_table::layout()},
                 {days_hours_table::fileName(), &days_hours_table::layout()},
                 {assignments_table::fileName(), &assignments_table::layout()},
                 {periods_table::fileName(), &periods_table::layout()}}) {
            tables[name] = Spec{layout, {}, true};
        }
        // The catalogues are absent unless a test adds them.
        tables[origins_table::fileName()] = Spec{&origins_table::layout(), {}, false};
        tables[course_levels_table::fileName()] = Spec{&course_levels_table::layout(), {}, false};
        tables[authorisations_table::fileName()] = Spec{&authorisations_table::layout(), {}, false};
        add(periods_table::fileName(), {{"CURSOANNO", "2024"}, {"F_INICIO", "15/09/2024"}, {"F_FIN", "22/06/2025"}});
        seneca = ExchangeBuilder().top(QStringLiteral("ANNO"), {QStringLiteral("2024/2025")});
    }

    // The year the export wrote in PERIODOS, which the import compares with the Séneca file's.
    void periodsYear(const QString &year)
    {
        tables.at(periods_table::fileName()).rows = {
            {{"CURSOANNO", year}, {"F_INICIO", QStringLiteral("15/09/2024")}, {"F_FIN", QStringLiteral("22/06/2025")}}};
    }

    // Rows of the tables, appended in the order given.
    void add(const QString &fileName, const Row &row)
    {
        Spec &spec = tables.at(fileName);
        spec.present = true;
        spec.rows.push_back(row);
    }
    void teacher(const QString &code, const QString &employee, const QString &takingPost = QStringLiteral("01/09/2010"))
    {
        add(teachers_table::fileName(), {{"ABREV", code}, {"X_EMPLEADO", employee}, {"F_TOMAPOS", takingPost}});
    }
    void lesson(const Placed &p)
    {
        add(solution_table::fileName(),
            {{"PROF", p.prof}, {"DIA", QString::number(p.dia)}, {"HORA", QString::number(p.hora)}, {"MARCO", p.marco},
                {"ASIG", p.asig}, {"TAREA", p.tarea}, {"CODGRUPO", p.grupo}, {"AULA", p.aula},
                {"CCONCIERTO", p.concierto}});
    }
    // A DIASHORAST period: DIHO is the day followed by the period number.
    void period(int day, int number, const QString &frame, const QString &slot, const QString &from, const QString &to,
        const QString &minutes)
    {
        add(days_hours_table::fileName(),
            {{"DIHO", QString::number(day) + QString::number(number)}, {"CODDIHO", slot}, {"DIA", QString::number(day)},
                {"HORA", QString::number(number)}, {"HORADESDE", from}, {"HORAHASTA", to}, {"MINUTOS", minutes},
                {"MARCO", frame}, {"MARCOXML", QStringLiteral("J1")}});
    }
    void assignment(const QString &subject, const QString &group, const QString &subjectKey, const QString &courseKey,
        const QString &level = QString())
    {
        add(assignments_table::fileName(),
            {{"CASIG", subject}, {"CGRUP", group}, {"CLAVE", subjectKey}, {"CLAVECURSO", courseKey},
                {"X_NIVCONPAGLEG", level}});
    }
    void subject(const QString &code, const QString &task = QString(), const QString &flags = QString())
    {
        add(subjects_table::fileName(), {{"COD", code}, {"NOMBRE", code}, {"CODTAREA", task}, {"R_UNI_MAT", flags}});
    }
    // An activity as the export writes it: COD and CODTAREA the same.
    void activity(const QString &code, const QString &flags) { subject(code, code, flags); }
    void offer(const QString &code, const QString &courseKey, const QString &subjectKey)
    {
        add(subject_offers_table::fileName(), {{"COD", code}, {"OFERTAMATRI", courseKey}, {"MATERIA", subjectKey}});
    }
    void group(const QString &code, const QString &key, const QString &courseKey)
    {
        add(groups_table::fileName(), {{"ABREV", code}, {"CLAVE", key}, {"CLAVECURSO", courseKey}});
    }
    // The reference catalogues: present (empty) once any of these is called.
    void catalogues()
    {
        for (const QString &name :
            {origins_table::fileName(), course_levels_table::fileName(), authorisations_table::fileName()})
            tables.at(name).present = true;
    }
    void origin(const QString &category, const QString &code)
    {
        catalogues();
        add(origins_table::fileName(), {{"X_CATORIHOR", category}, {"C_ORIHOR", code}, {"D_ORIHOR", code}});
    }
    void authorisation(const QString &code, const QString &activity, const QString &category, const QString &level)
    {
        catalogues();
        add(authorisations_table::fileName(),
            {{"X_ORIHORACTETP", code}, {"X_ACTIVIDAD", activity}, {"X_CATORIHOR", category},
                {"X_NIVCONPAGLEG", level}});
    }
    void remove(const QString &fileName) { tables.at(fileName).present = false; }

    void writeTables()
    {
        for (const auto &[name, spec] : tables) {
            const QString path = session.workPath(name);
            dbf::removeTableFiles(path);
            if (!spec.present)
                continue;
            dbf::createTable(path, *spec.layout);
            dbf::Table table(path);
            table.open();
            for (const Row &values : spec.rows) {
                const int row = table.appendBlank();
                for (const auto &[field, value] : values) {
                    const int index = table.fieldIndex(QLatin1String(field));
                    if (table.field(index).type == dbf::FieldType::Character || !value.isEmpty())
                        table.setText(row, index, value);
                }
                table.post(row);
            }
            table.close();
        }
    }

    QString senecaPath() const { return QDir(senecaDir).filePath(QStringLiteral("Exportacion.xml")); }
    QString outputPath() const { return QDir(senecaDir).filePath(QStringLiteral("ResultadoHoravoExportacion.xml")); }

    // Writes the tables and the Séneca file, then imports with a fixed fecha.
    ImportRun::Outcome runImport(const char *encoding = "ISO-8859-1")
    {
        writeTables();
        seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"), encoding);
        return importAgain();
    }
    // Imports over what is on disk, choosing the Séneca file again.
    ImportRun::Outcome importAgain()
    {
        ui.fileChoices.push_back(senecaPath());
        run = std::make_unique<ImportRun>(session, ui);
        run->fechaText = [] { return kFecha; };
        return run->run();
    }

    QByteArray outputBytes() const
    {
        QFile file(outputPath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << outputPath().toStdString();
        return file.readAll();
    }
    xml::Document output() const { return xml::Document::load(outputPath()); }

    static Datos datosOf(xml::Node group)
    {
        Datos datos;
        for (xml::Node dato : xml::childElements(group, "dato"))
            datos.push_back((xml::attribute(dato, "nombre_dato") + QLatin1Char('=') + xml::text(dato)).toStdString());
        return datos;
    }
    static std::string seqOf(xml::Node group) { return xml::attribute(group, "seq").toStdString(); }

    // The teacher groups of a section ("HORARIOS_REGULARES" or "HORARIOS_NO_REGULARES").
    static std::vector<xml::Node> teacherGroups(const xml::Document &document, const char *section)
    {
        return document.select(
            QStringLiteral("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"%1\"]/grupo_datos").arg(QLatin1String(section)));
    }
    // The record groups of teacher n (from 1) of a section, each as its datos.
    std::vector<Datos> recordsOf(const char *section, int teacher = 1) const
    {
        const xml::Document document = output();
        const std::vector<xml::Node> groups = teacherGroups(document, section);
        std::vector<Datos> records;
        if (teacher < 1 || std::size_t(teacher) > groups.size()) {
            ADD_FAILURE() << "no teacher " << teacher << " in " << section;
            return records;
        }
        int number = 0;
        for (xml::Node record : xml::childElements(groups[std::size_t(teacher - 1)], "grupo_datos")) {
            EXPECT_EQ(seqOf(record), "ACTIVIDAD_" + std::to_string(++number));
            records.push_back(datosOf(record));
        }
        return records;
    }
    std::vector<Datos> regular(int teacher = 1) const { return recordsOf("HORARIOS_REGULARES", teacher); }
    std::vector<Datos> nonRegular(int teacher = 1) const { return recordsOf("HORARIOS_NO_REGULARES", teacher); }

    struct Spec {
        const dbf::Layout *layout = nullptr;
        std::vector<Row> rows;
        bool present = true;
    };

    QTemporaryDir dir;
    Session session;
    ScriptedInterface ui;
    QString senecaDir;
    ExchangeBuilder seneca;
    std::map<QString, Spec> tables;
    std::unique_ptr<ImportRun> run;
};

// The datos of a regular record group, with the dates of the fixture's PERIODOS.
inline Datos regularDatos(const QString &weekday, const QString &slot, const QString &room, const QString &unit,
    const QString &course, const QString &subject, const QString &start, const QString &end, const QString &activity)
{
    const auto dato
        = [](const char *name, const QString &value) { return std::string(name) + '=' + value.toStdString(); };
    return {dato("N_DIASEMANA", weekday), dato("X_TRAMO", slot), dato("X_DEPENDENCIA", room), dato("X_UNIDAD", unit),
        dato("X_OFERTAMATRIG", course), dato("X_MATERIAOMG", subject), dato("F_INICIO", QStringLiteral("15/09/2024")),
        dato("F_FIN", QStringLiteral("22/06/2025")), dato("N_HORINI", start), dato("N_HORFIN", end),
        dato("X_ACTIVIDAD", activity)};
}

} // namespace import_test
