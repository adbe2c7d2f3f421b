#pragma once
// The content of a timetable document as the check reads it: its sections,
// teacher groups and record groups with their datos by name, and what the reader
// saw of its form (encoding, stray bytes, the line of each group).
//
// The datos are kept by name and in their order, so that a document written by
// another program, with its datos in another order, is still read and its order
// reported.

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The datos the check reads, by the names they carry.
enum class TimetableField {
    C_ANNO,
    X_EMPLEADO,
    F_TOMAPOS,
    N_DIASEMANA,
    X_TRAMO,
    X_DEPENDENCIA,
    X_UNIDAD,
    X_OFERTAMATRIG,
    X_MATERIAOMG,
    F_INICIO,
    F_FIN,
    N_HORINI,
    N_HORFIN,
    X_ACTIVIDAD,
    X_ORIHORACTETP,
    N_MINSEN,
    Count
};
struct TimetableDato {
    QString name; // nombre_dato
    QString value; // trimmed of spaces
    TimetableField field = TimetableField::Count; // the field its name names
    bool operator==(const TimetableDato &) const = default;
};

// The field a nombre_dato names; Count for any other name.
TimetableField timetableFieldOf(const QString &name);

// Whether an encoding name, as a declaration gives it, is ISO-8859-1 by one of
// its names: the encoding in which bytes 0x80 to 0x9F are control characters.
bool declaresLatin1(const QString &encoding);

// The datos of a group, in their order, and the first of each known name.
struct TimetableDatos {
    std::vector<TimetableDato> datos;
    std::array<std::int16_t, size_t(TimetableField::Count)> positions = filled();

    // Trimmed value; empty when absent. A reference, not a copy: the check reads
    // each record's values several times, from two threads at once.
    const QString &value(TimetableField field) const
    {
        static const QString absent;
        const TimetableDato *dato = find(field);
        return dato ? dato->value : absent;
    }
    bool has(TimetableField field) const { return find(field) != nullptr; }
    const TimetableDato *find(TimetableField field) const
    {
        const int at = positions[size_t(field)];
        return at < 0 ? nullptr : &datos[size_t(at)];
    }
    void add(TimetableDato dato, TimetableField field)
    {
        if (field != TimetableField::Count && positions[size_t(field)] < 0 && datos.size() < 0x7fff)
            positions[size_t(field)] = std::int16_t(datos.size());
        dato.field = field;
        datos.push_back(std::move(dato));
    }

private:
    static std::array<std::int16_t, size_t(TimetableField::Count)> filled()
    {
        std::array<std::int16_t, size_t(TimetableField::Count)> all;
        all.fill(-1);
        return all;
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
    QString employee() const { return value(TimetableField::X_EMPLEADO); }
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
