#pragma once
// Writes an exchange document (SERVICIO / BLOQUE_DATOS / grupo_datos / dato) as a
// stream, in ISO-8859-1, without building a tree: the generator writes schools of
// any size in time and memory that only depend on one record at a time.

#include <QString>

#include <cstdio>
#include <string>

class ExchangeWriter {
public:
    // Opens the file and writes the declaration, the root with its attributes and
    // BLOQUE_DATOS. Throws UserError naming the file when it cannot be written.
    ExchangeWriter(const QString &path, const QString &modulo, const QString &autor, const QString &fecha);
    ~ExchangeWriter();
    ExchangeWriter(const ExchangeWriter &) = delete;
    ExchangeWriter &operator=(const ExchangeWriter &) = delete;

    // A group (top-level or record); registros is written when not negative.
    void beginGroup(const QString &seq, int registros = -1);
    void endGroup();
    void dato(const char *nombreDato, const QString &value);

    // Closes the root and the file; throws UserError when the disk refused a write.
    void finish();

private:
    void indent();
    void appendEscaped(const QString &text);
    void flushIfFull();

    QString m_path;
    std::FILE *m_file = nullptr;
    std::string m_buffer;
    int m_depth = 0;
    bool m_failed = false;
};
