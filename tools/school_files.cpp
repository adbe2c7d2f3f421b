#include "tools/school_files.h"

#include "common/user_error.h"
#include "tools/exchange_writer.h"

#include <QDir>
#include <QFile>

namespace school {

namespace {

// Séneca lists the records of a group as ID_1, ID_2, ...
class RecordNumbers {
public:
    QString next() { return QStringLiteral("ID_%1").arg(++m_n); }

private:
    int m_n = 0;
};

template <typename Items, typename WriteRecord>
void writeGroup(ExchangeWriter &out, const char *seq, const Items &items, WriteRecord writeRecord)
{
    out.beginGroup(QString::fromLatin1(seq), int(items.size()));
    RecordNumbers numbers;
    for (const auto &item : items) {
        out.beginGroup(numbers.next());
        writeRecord(item);
        out.endGroup();
    }
    out.endGroup();
}

void writeText(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        throw UserError(QStringLiteral("No se pudo escribir el archivo %1.").arg(QDir::toNativeSeparators(path)));
}

} // namespace

void writeSeneca(const School &school, const QString &path)
{
    ExchangeWriter out(
        path, QStringLiteral("EXPORTACION"), QStringLiteral("SENECA"), QStringLiteral("03/09/2025 10:41:27"));
    out.beginGroup(QStringLiteral("ANNO_ACADEMICO"));
    out.dato("C_ANNO", school.year);
    out.dato("F_INICIO", school.firstDay);
    out.dato("F_FIN", school.lastDay);
    out.endGroup();
    writeGroup(out, "JORNADAS_ESCOLARES", school.frames, [&](const Frame &f) {
        out.dato("X_JORNADA", f.code);
        out.dato("D_JORNADA", f.name);
        out.dato("F_INICIO", school.firstDay);
        out.dato("F_FIN", school.lastDay);
    });
    writeGroup(out, "TRAMOS_HORARIOS", school.slots, [&](const Slot &s) {
        out.dato("X_TRAMO", s.code);
        out.dato("D_TRAMO", s.label);
        out.dato("N_INICIO", QString::number(s.start));
        out.dato("N_FIN", QString::number(s.end));
        out.dato("X_JORNADA", school.frames[std::size_t(s.frame)].code);
    });
    writeGroup(out, "CURSOS_DEL_CENTRO", school.courses, [&](const Course &c) {
        out.dato("X_OFERTAMATRIG", c.key);
        out.dato("D_OFERTAMATRIG", c.description);
    });
    writeGroup(out, "UNIDADES", school.units, [&](const Unit &u) {
        out.dato("X_UNIDAD", u.key);
        out.dato("T_NOMBRE", u.name);
        out.dato("X_OFERTAMATRIG", school.courses[std::size_t(u.course)].key);
    });
    writeGroup(out, "MATERIAS", school.subjects, [&](const Subject &s) {
        out.dato("X_OFERTAMATRIG", school.courses[std::size_t(s.course)].key);
        out.dato("D_MATERIAC", s.name);
        out.dato("X_MATERIAOMG", s.id);
    });
    writeGroup(out, "ACTIVIDADES", school.activities, [&](const Activity &a) {
        out.dato("L_REGULAR", a.marker);
        out.dato("X_ACTIVIDAD", a.code);
        out.dato("D_ACTIVIDAD", a.name);
        out.dato("L_REQUNIDAD", a.unitFlag);
        out.dato("L_REQMATERIA", a.subjectFlag);
    });
    writeGroup(out, "EMPLEADOS", school.teachers, [&](const Teacher &t) {
        out.dato("X_EMPLEADO", t.id);
        out.dato("F_TOMAPOS", t.takingOfPost);
        out.dato("D_PUESTO", t.department);
        out.dato("T_APELLIDO1", t.surname1);
        out.dato("T_APELLIDO2", t.surname2);
        out.dato("T_NOMBRE", t.given);
    });
    writeGroup(out, "DEPENDENCIAS", school.rooms, [&](const Room &r) {
        out.dato("X_DEPENDENCIA", r.id);
        out.dato("D_DEPENDENCIA", r.name);
    });
    writeGroup(out, "ORIGENES", school.origins, [&](const Origin &o) {
        out.dato("X_CATORIHOR", o.code);
        out.dato("C_ORIHOR", o.key);
        out.dato("D_ORIHOR", o.description);
    });
    writeGroup(out, "NIVELES", school.levels, [&](const Level &l) {
        out.dato("X_NIVCONPAGLEG", l.code);
        out.dato("C_NIVCON", l.key);
        out.dato("D_NIVCON", l.description);
    });
    writeGroup(out, "CURSOS_NIVELES", school.courseLevels, [&](const CourseLevel &c) {
        out.dato("X_OFERTAMATRIG", c.course);
        out.dato("X_NIVCONPAGLEG", c.level);
    });
    writeGroup(out, "AUTORIZACIONES", school.authorisations, [&](const Authorisation &a) {
        out.dato("X_ORIHORACTETP", a.code);
        out.dato("X_ACTIVIDAD", a.activity);
        out.dato("X_CATORIHOR", a.category);
        out.dato("X_NIVCONPAGLEG", a.level);
    });
    out.finish();
}

void writePlanning(const School &school, const QString &path)
{
    ExchangeWriter out(
        path, QStringLiteral("PLANIFICACION"), QStringLiteral("LUMA"), QStringLiteral("03/09/2025 11:02:10"));
    int n = 0;
    for (const PlanningTeacher &teacher : school.planning) {
        ++n;
        out.beginGroup(QStringLiteral("PROFESOR_%1").arg(n));
        out.dato("X_EMPLEADO", teacher.id);
        out.dato("D_EMPLEADO", teacher.fullName);
        out.dato("X_PUESTO", teacher.post);
        out.dato("T_CORREO", teacher.email);
        int k = 0;
        for (const Assignment &a : teacher.assignments) {
            ++k;
            out.beginGroup(QStringLiteral("DETALLE_%1").arg(k));
            int hours = 0;
            for (const QChar c : a.pattern)
                hours += c.digitValue();
            out.dato("X_DETALLE", QString::number(n * 100 + k));
            out.dato("X_MATERIAOMG", a.subjectId);
            out.dato("X_OFERTAMATRIG", a.courseKey);
            out.dato("D_MATERIAC", a.subjectName);
            out.dato("X_UNIDAD", a.unitKey);
            out.dato("X_NIVCONPAGLEG", a.levelKey);
            out.dato("T_UNIDAD", a.unitName);
            out.dato("T_SESIONES", a.pattern);
            out.dato("N_HORAS", QString::number(hours));
            out.dato("N_MINUTOS", QString::number(60 * hours));
            out.dato("C_ORIHOR", a.originKey);
            out.dato("D_ORIHOR", a.originName);
            out.dato("X_ACTIVIDAD", a.task);
            out.endGroup();
        }
        out.endGroup();
    }
    out.finish();
}

void writeLevels(const School &school, const QString &path)
{
    QString text = QStringLiteral("CLAVE;NIVEL;CURSO;ESTUD\n");
    for (const Course &c : school.courses)
        text += QStringLiteral("%1;%2;%3;%4\n").arg(c.key, c.level, c.course, c.description);
    writeText(path, text.toUtf8());
}

void writeFrameCodes(const School &school, const QString &path)
{
    QStringList codes;
    for (const Frame &f : school.frames)
        codes << f.code;
    writeText(path, (codes.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8());
}

} // namespace school
