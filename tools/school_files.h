#pragma once
// Writes a school as the files the converter takes: seneca.xml and
// planificacion.xml (ISO-8859-1, written as a stream), niveles.csv (the answers to
// the level and course dialog: CLAVE;NIVEL;CURSO;ESTUD, UTF-8) and marcos.txt (the
// frame codes for --frames).

#include "tools/school_model.h"

#include <QString>

namespace school {

void writeSeneca(const School &school, const QString &path);
void writePlanning(const School &school, const QString &path);
void writeLevels(const School &school, const QString &path);
void writeFrameCodes(const School &school, const QString &path);

} // namespace school
