#pragma once
// Builds exchange documents for tests, so a test shows only what matters:
//   ExchangeBuilder().top("CURSO", {"2024", "01/09/2024", "30/06/2025"})
//                    .group("MATERIAS").record({"1001", "Matemáticas", "212306"})

#include "common/exchange_document.h"

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

class ExchangeBuilder {
public:
    using Named = std::vector<std::pair<QString, QString>>; // nombre_dato, value

    // A top-level group with values of its own (and no records yet).
    ExchangeBuilder &top(const QString &seq, const std::vector<QString> &values = {});
    // Starts a top-level group; records added next go into it.
    ExchangeBuilder &group(const QString &seq);
    // A record of the current group; its datos are named V0, V1, ...
    ExchangeBuilder &record(const std::vector<QString> &values);
    // A record whose datos carry the given names.
    ExchangeBuilder &named(const Named &values);
    // A record with raw markup inside (for unusual shapes).
    ExchangeBuilder &rawRecord(const QString &innerXml);
    // A MATERIAS record: course key, name, identifier, with the Séneca field names.
    ExchangeBuilder &subject(const QString &courseKey, const QString &name, const QString &id);
    // The planning document's teacher group: PROFESOR_<n> with values and assignment records.
    ExchangeBuilder &raw(const QString &xmlInsideBloque);

    QByteArray bytes(const char *encoding = "ISO-8859-1") const;
    // Writes the document to dir/fileName and returns the path.
    QString writeTo(const QString &dir, const QString &fileName, const char *encoding = "ISO-8859-1") const;
    ExchangeDocument document() const;

private:
    QString m_body;
    bool m_open = false;
    void closeGroup();
    QString m_pending; // markup of the group being built
};

// Escapes text for XML content and attribute values.
QString xmlEscape(const QString &text);
