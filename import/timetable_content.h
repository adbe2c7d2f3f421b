#pragma once
// The content of a timetable document as the check reads it: its sections,
// teacher groups and record groups with their datos by name, and what the reader
// saw of its form (encoding, stray bytes, the line of each group).
//
// The datos are kept by name and in their order, so that a document written by
// another program, with its datos in another order, is still read and its order
// reported.

#include <QString>

#include <vector>

struct TimetableDato {
    QString name; // nombre_dato
    QString value; // trimmed of spaces
    bool operator==(const TimetableDato &) const = default;
};

// The datos of a group, looked up by name (the first one of that name).
struct TimetableDatos {
    std::vector<TimetableDato> datos;
    // Trimmed value; empty when absent.
    QString value(const char *name) const
    {
        const TimetableDato *dato = find(name);
        return dato ? dato->value : QString();
    }
    bool has(const char *name) const { return find(name) != nullptr; }
    const TimetableDato *find(const char *name) const
    {
        for (const TimetableDato &dato : datos) {
            if (dato.name == QLatin1String(name))
                return &dato;
        }
        return nullptr;
    }
};

// One record group: a lesson (regular section) or an activity (non-regular).
struct TimetableRecord : TimetableDatos {
    int teacher = -1; // index in TimetableContent::teachers
    QString seq; // ACTIVIDAD_n
    int line = 0;
    int nestedGroups = 0; // grupo_datos found inside it (none belongs there)
};

struct TimetableTeacher : TimetableDatos {
    bool regular = true; // in HORARIOS_REGULARES
    QString seq;
    QString registros; // null when the attribute is absent
    int line = 0;
    int firstRecord = 0; // index in TimetableContent::records
    int recordCount = 0;
    QString employee() const { return value("X_EMPLEADO"); }
};

struct TimetableSection {
    QString seq;
    QString registros; // null when absent
    int line = 0;
    int teacherCount = 0;
    TimetableDatos own; // the group's own datos (C_ANNO in ANNO_ACADEMICO)
};

struct TimetableContent {
    QString path;
    QString declaredEncoding; // as the XML declaration names it; empty when none
    QString parseError; // not empty when the document is not well-formed XML
    int parseErrorLine = 0;
    bool hasRoot = false; // SERVICIO with a BLOQUE_DATOS
    // Bytes 0x80 to 0x9F in a document declared ISO-8859-1 (control characters there).
    int controlBytes = 0;
    int firstControlByteLine = 0;
    std::vector<TimetableSection> sections; // top-level groups, in document order
    std::vector<TimetableTeacher> teachers; // both sections, in document order
    std::vector<TimetableRecord> records; // grouped by teacher, in document order
};
