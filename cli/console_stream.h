#pragma once
// Standard output and error as the command line writes them: UTF-8 into files,
// pipes and terminals, and the console's own characters in a Windows console,
// whatever its code page, so that its Spanish reads right everywhere.

#include <QIODevice>
#include <QStringDecoder>

#include <cstdio>

class ConsoleStream : public QIODevice {
public:
    // stream: 1 standard output, 2 standard error.
    explicit ConsoleStream(int stream);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *bytes, qint64 size) override;

private:
    int m_stream;
    std::FILE *m_file;
    bool m_console;
    QStringDecoder m_decoder{QStringDecoder::Utf8}; // keeps a character cut between two writes
};
