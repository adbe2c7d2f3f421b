#pragma once
// The Séneca timetable document (module HORARIOS) as it is written: its frame, and
// the groups and datos the sections fill it with, element by element straight into
// the output file. A large school writes hundreds of thousands of elements, which
// a tree in memory would first have to hold.

#include "import/seneca_frame.h"
#include "import/xml_stream_writer.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

class TimetableDocument {
public:
    // Starts the document at path, in a temporary file until finish(): whatever
    // stands outside the Séneca file's root (its XML declaration, and so its
    // encoding), then the root SERVICIO with modulo, tipo, autor and fecha, and
    // BLOQUE_DATOS, open for the groups.
    TimetableDocument(const QString &path, const SenecaFrame &seneca, const QString &fecha);

    // A grupo_datos with its seq, and its registros when given; the datos and
    // groups that follow go inside it until endGroup().
    void startGroup(const std::string &seq, std::optional<int> registros = std::nullopt);
    void endGroup();
    // A dato whose only attribute is nombre_dato, holding the value as its text.
    // Throws UserError naming the dato when the value holds a character that XML
    // cannot carry.
    void dato(std::string_view name, const QString &value);

    // Closes BLOQUE_DATOS and the root, writes what follows the Séneca file's root
    // and puts the document in place of any earlier one.
    void finish();

    // seq values such as ACTIVIDAD_12: a fixed prefix and a number.
    static std::string numbered(const char *prefix, int number);

private:
    XmlStreamWriter m_writer;
};
