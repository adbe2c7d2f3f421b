#pragma once
// The frame of the Séneca timetable document (module HORARIOS) and the small
// builders the sections write it with. Elements go straight into the libxml2 tree:
// a large school writes hundreds of thousands of them.

#include "common/xml_document.h"

#include <QString>

namespace timetable {

// The year text: the first four characters of the text of the first child node of
// /SERVICIO/BLOQUE_DATOS (the whole text when shorter). Throws UserError naming the
// file when the document has no BLOQUE_DATOS under SERVICIO, or nothing inside it.
QString yearText(const xml::Document &seneca);

// Replaces the loaded document's root by SERVICIO with modulo, tipo, autor and
// fecha, holding an empty BLOQUE_DATOS, which it returns. Whatever stands outside
// the root (the XML declaration and so the encoding) stays as it was loaded.
xml::Node replaceRoot(xml::Document &document, const QString &fecha);

// A grupo_datos with its seq, appended to the parent.
xml::Node appendGroup(xml::Node parent, const QString &seq);
// A grupo_datos with its seq and then its registros, appended to the parent.
xml::Node appendGroup(xml::Node parent, const QString &seq, int registros);
// A dato whose only attribute is nombre_dato, holding the value as its text.
void appendDato(xml::Node parent, const char *name, const QString &value);

// The count correction: every teacher group of HORARIOS_REGULARES gets as its
// second attribute (registros) the number of its child nodes less its two datos,
// that is the number of record groups it holds.
void correctRegularCounts(const xml::Document &document);

} // namespace timetable
