#pragma once
// The timetable document as the import made it before it wrote it as a stream:
// the Séneca file loaded whole, its root replaced, groups and datos built as a
// libxml2 tree and saved. The stream must give these very bytes.

#include "common/xml_document.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class TreeTimetable {
public:
    // Loads the Séneca file and puts SERVICIO (modulo, tipo, autor, fecha) with an
    // empty BLOQUE_DATOS in place of its root.
    TreeTimetable(const QString &senecaPath, const QString &fecha);

    void startGroup(const std::string &seq, std::optional<int> registros = std::nullopt);
    void endGroup();
    void dato(const char *name, const QString &value);
    // Saves the document to path as the import saved it.
    void finish(const QString &path);

    const xml::Document &document() const { return m_document; }

private:
    xml::Document m_document;
    std::vector<xml::Node> m_open;
};

// The year text as it was taken from the whole tree: the first four characters of
// the text of the first child node of /SERVICIO/BLOQUE_DATOS that is not
// whitespace alone; nothing when there is no such node.
std::optional<QString> treeYearText(const xml::Document &seneca);

// The timetabler's second pass over a saved document: every teacher group of
// HORARIOS_REGULARES gets as registros the number of its child nodes less its two
// datos.
void correctRegularCounts(const xml::Document &document);
