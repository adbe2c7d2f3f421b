#pragma once
// The tables an import reads: the timetabler's SOLUC and the working tables the
// export left behind. They are opened once, read-only, and every field the import
// reads is looked up here, so that a missing table or field stops the run before
// anything is written.

#include "common/dbf_table.h"
#include "common/session.h"

// The fields of SOLUC, named as the table names them (solution_table.h).
struct SolutionFields {
    int prof = -1;
    int dia = -1;
    int hora = -1;
    int marco = -1;
    int asig = -1;
    int tarea = -1;
    int codGrupo = -1;
    int aula = -1;
    int cconcierto = -1; // only read, and only required, with the catalogues
};

struct TeacherFields {
    int abrev = -1;
    int xEmpleado = -1;
    int fTomapos = -1;
};

class ImportTables {
public:
    explicit ImportTables(const Session &session);

    // Opens the nine tables, then the catalogues when ORIGENES_C.DBF exists and
    // holds a record. Throws UserError naming what is missing and what to run first.
    void open();

    // Every table of the working folder that an import reads or an export writes,
    // SOLUC.DBF included: nothing the import writes may land on one of them.
    static QStringList workingTableNames();

    // Whether the reference catalogues are there (ORIGENES_C.DBF with a record).
    bool catalogues() const { return m_catalogues; }

    dbf::Table solution; // SOLUC.DBF
    dbf::Table groups; // GRUPOST.DBF
    dbf::Table courses; // CURSOST.DBF, opened only
    dbf::Table teachers; // PROFT.DBF
    dbf::Table rooms; // AULAT.DBF, opened only
    dbf::Table subjects; // ASIGNOMT.DBF
    dbf::Table subjectOffers; // ASIGNOMT2.DBF
    dbf::Table daysHours; // DIASHORAST.DBF
    dbf::Table assignments; // ASIGT.DBF
    dbf::Table origins; // ORIGENES_C.DBF
    dbf::Table courseLevels; // CUR_NIV_C.DBF, opened only
    dbf::Table authorisations; // AUTORIZA_C.DBF

    SolutionFields solutionField;
    TeacherFields teacherField;

private:
    void checkPresent() const;
    void openCatalogues();

    const Session &m_session;
    bool m_catalogues = false;
};
