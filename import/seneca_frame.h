#pragma once
// What an import takes from the Séneca file that fed the export: the academic
// year and everything outside the root element (the XML declaration, and with it
// the encoding, and any comment, processing instruction or DOCTYPE around the
// root). The file is read in one streaming pass that builds no tree of its
// content: a large school's file is tens of megabytes.

#include "common/xml_document.h"

#include <QString>

class SenecaFrame {
public:
    // Reads the file. Throws UserError naming the file when it is missing,
    // unreadable or not well-formed XML (the messages of xml::Document::load),
    // when it has no BLOQUE_DATOS under SERVICIO, or nothing inside it.
    static SenecaFrame read(const QString &path);

    // The first four characters of the text of the first child node of
    // /SERVICIO/BLOQUE_DATOS (the whole text when shorter). Whitespace alone
    // between elements is no node.
    const QString &yearText() const { return m_year; }

    // The parsed document as the loaded Séneca document would be, but for the
    // root element, which stands there without its content: it marks where the
    // root of the timetable document goes among the nodes outside it.
    _xmlDoc *document() const { return m_doc.get(); }
    _xmlNode *rootPlaceholder() const;

private:
    SenecaFrame(xml::DocumentPtr doc, QString year);

    xml::DocumentPtr m_doc;
    QString m_year;
};
