#pragma once
// The Séneca timetable document (module HORARIOS) as it is written: its frame, and
// the groups and datos the sections fill it with, element by element straight into
// the output file. A large school writes hundreds of thousands of elements, which
// a tree in memory would first have to hold.

#include "import/seneca_frame.h"
#include "import/timetable_content.h"
#include "import/timetable_content_builder.h"
#include "import/xml_stream_writer.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // and puts the document in place of any earlier one. beforeReplacing runs
    // once the document is whole, just before it takes its place.
    void finish(const std::function<void()> &beforeReplacing = {});
    // Whether the document has taken its place, even when finish() then failed.
    bool inPlace() const { return m_writer.inPlace(); }

    // From here on, also keeps in content what TimetableReader would read from the
    // finished document, so that the import checks its document without reading it
    // back. content must outlive the writing; it is complete after finish().
    void keepContentIn(TimetableContent &content);

    // seq values such as ACTIVIDAD_12: a fixed prefix and a number.
    static std::string numbered(const char *prefix, int number);

private:
    void keepDato(std::string_view name, const QString &value);

    // A dato name as the content holds it, made once per name.
    struct KeptName {
        std::string bytes;
        QString text;
        TimetableField field;
    };

    XmlStreamWriter m_writer;
    QString m_path;
    TimetableContent *m_content = nullptr;
    std::unique_ptr<TimetableContentBuilder> m_builder;
    std::vector<KeptName> m_names;
};
