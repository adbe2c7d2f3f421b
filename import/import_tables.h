#pragma once
// The tables an import reads: the timetabler's SOLUC and the working tables the
// export left behind. They are opened once, read-only, and every field the import
// reads is looked up here, so that a missing table or field stops the run before
// anything is written.

#include "common/dbf_table.h"
#include "common/session.h"

struct SolutionFields {
    int teacher = -1; // PROF
    int day = -1; // DIA
    int period = -1; // HORA
    int frame = -1; // MARCO
    int subject = -1; // ASIG
    int task = -1; // TAREA
    int group = -1; // CODGRUPO
    int room = -1; // AULA
    int origin = -1; // CCONCIERTO; only read, and only required, with the catalogues
};

struct TeacherFields {
    int code = -1; // ABREV
    int employee = -1; // X_EMPLEADO
    int takingPost = -1; // F_TOMAPOS
};

class ImportTables {
public:
    explicit ImportTables(const Session &session);

    // Opens the nine tables, then the catalogues when ORIGENES_C.DBF exists and
    // holds a record. Throws UserError naming what is missing and what to run first.
    void open();

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
