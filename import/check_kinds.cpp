#include "import/check_kinds.h"

#include <iterator>

namespace {

using S = CheckSeverity;

constexpr char kImportAgain[] = "Vuelva a hacer la importación desde Horavent con este programa; no edite el documento "
                                "a mano.";
constexpr char kExportAgain[] = "Exporte de nuevo desde el archivo de Séneca actual, cargue las tablas en Horavent y "
                                "vuelva a importar.";

// In the order of CheckKind.
const CheckKindInfo kKinds[] = {
    {S::Error, "Codificación del documento",
        "Vuelva a hacer la importación desde Horavent con este programa: Séneca leería esas letras como caracteres "
        "de control.",
        "veces"},
    {S::Error, "Documento dañado", kImportAgain, "veces"},
    {S::Error, "Documento sin datos", kImportAgain, "veces"},
    {S::Error, "Curso académico distinto",
        "Haga la importación con el archivo de Séneca del curso en el que va a subir el horario.", "veces"},
    {S::Warning, "Grupo ajeno a un documento de horarios", kImportAgain, "veces"},
    {S::Error, "Falta una sección", kImportAgain, "veces"},
    {S::Information, "Sin horario no regular",
        "Nada que hacer si ningún profesor tiene horario no regular; si alguno lo tiene, vuelva a importar desde "
        "Horavent.",
        "veces"},
    {S::Error, "Recuento de profesores", kImportAgain, "veces"},
    {S::Error, "Datos fuera de su orden", kImportAgain, "lecciones"},
    {S::Error, "Recuento de lecciones", kImportAgain, "veces"},
    {S::Error, "Profesor que Séneca no tiene",
        "Compruebe en Séneca el profesor y su código de empleado, corríjalo en la planificación y exporte de nuevo.",
        "veces"},
    {S::Error, "Profesor repetido", "Quite en Horavent el profesor repetido y vuelva a importar.", "veces"},
    {S::Error, "Tramo horario que Séneca no tiene", kExportAgain, "lecciones"},
    {S::Error, "Dependencia que Séneca no tiene",
        "Dé de alta la dependencia en Séneca, o ponga en Horavent una que Séneca tenga, y vuelva a importar.",
        "lecciones"},
    {S::Error, "Unidad que Séneca no tiene",
        "Dé de alta la unidad en Séneca, o corrija la unidad de la asignación en la planificación, y exporte de "
        "nuevo.",
        "lecciones"},
    {S::Error, "Curso que Séneca no tiene", kExportAgain, "lecciones"},
    {S::Error, "Materia que no es de su curso",
        "Corrija la materia o el curso de esa asignación en la planificación y exporte de nuevo.", "lecciones"},
    {S::Warning, "Unidad de otro curso",
        "Si la unidad no es mixta, corrija el curso o la unidad de esa asignación en la planificación.", "lecciones"},
    {S::Error, "Actividad que Séneca no tiene",
        "Ponga en la planificación una actividad que Séneca tenga y exporte de nuevo.", "lecciones"},
    {S::Error, "Actividad en el horario que no le corresponde", kExportAgain, "lecciones"},
    {S::Error, "Actividad sin la unidad que exige",
        "Dé una unidad a esa actividad en la planificación o en Horavent y vuelva a importar.", "lecciones"},
    {S::Error, "Actividad sin la materia que exige",
        "Dé una materia a esa actividad en la planificación o en Horavent y vuelva a importar.", "lecciones"},
    {S::Error, "Día de la semana que no existe", "Vuelva a colocar esas lecciones en Horavent y vuelva a importar.",
        "lecciones"},
    {S::Warning, "Lecciones en fin de semana",
        "Compruebe en Horavent que esas lecciones se dan de verdad en sábado o domingo.", "lecciones"},
    {S::Error, "Horas que no se pueden leer", kImportAgain, "lecciones"},
    {S::Error, "Hora distinta de la de su tramo", kExportAgain, "lecciones"},
    {S::Error, "Actividad no regular sin minutos",
        "Compruebe en Séneca los minutos de los tramos del marco horario elegido, exporte de nuevo y vuelva a "
        "importar.",
        "lecciones"},
    {S::Error, "Fecha que no existe", "Corrija las fechas del curso en Séneca y exporte de nuevo.", "lecciones"},
    {S::Error, "Fechas al revés", "Corrija las fechas del curso en Séneca y exporte de nuevo.", "lecciones"},
    {S::Error, "Fechas fuera del curso",
        "Exporte de nuevo desde el archivo de Séneca del curso que va a subir y vuelva a importar.", "lecciones"},
    {S::Error, "Lecciones sin autorización",
        "Pida en Séneca que autoricen esa actividad en ese nivel con el origen de horas de la planificación, o "
        "corrija el origen en la planificación, y exporte de nuevo.",
        "lecciones"},
    {S::Error, "Autorización sin catálogos en Séneca", kExportAgain, "lecciones"},
    {S::Error, "Autorización que Séneca no tiene", kExportAgain, "lecciones"},
    {S::Error, "Autorización de otra actividad", kExportAgain, "lecciones"},
    {S::Error, "Profesor en dos sitios a la vez",
        "Separe esas lecciones en Horavent, o corrija la planificación si son una sola, y vuelva a importar.", "veces"},
    {S::Warning, "Dependencia ocupada dos veces",
        "Si no es una clase compartida, cambie en Horavent la dependencia de una de las lecciones.", "veces"},
    {S::Warning, "Toma de posesión distinta de la de Séneca", kExportAgain, "veces"},
    {S::Warning, "Lecciones antes de la toma de posesión",
        "Compruebe en Séneca la fecha de toma de posesión: las lecciones cuentan desde ese día.", "veces"},
    {S::Warning, "Lección repetida", "Quite en Horavent la lección repetida y vuelva a importar.", "lecciones"},
    {S::Warning, "Más de 25 horas regulares", "Revise el horario de ese profesor en Horavent y en la planificación.",
        "veces"},
    {S::Warning, "Más de 6 horas no regulares",
        "Revise las actividades no regulares de ese profesor en la planificación.", "veces"},
    {S::Information, "Profesores sin horario",
        "Nada que hacer si están de baja o no dan clase este curso; si no, añádalos en la planificación.", "veces"},
};
static_assert(std::size(kKinds) == size_t(CheckKind::Count), "one entry per kind, in the enum's order");

} // namespace

const CheckKindInfo &checkKindInfo(CheckKind kind)
{
    return kKinds[size_t(kind)];
}
