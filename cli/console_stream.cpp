#include "cli/console_stream.h"

#include "common/platform.h"

ConsoleStream::ConsoleStream(int stream)
    : m_stream(stream)
    , m_file(stream == 2 ? stderr : stdout)
    , m_console(platform::isConsole(stream))
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 ConsoleStream::writeData(const char *bytes, qint64 size)
{
    if (m_console) {
        const QString text = m_decoder.decode(QByteArrayView(bytes, size));
        platform::writeToConsole(m_stream, text);
        return size;
    }
    const std::size_t written = std::fwrite(bytes, 1, std::size_t(size), m_file);
    std::fflush(m_file);
    return written == std::size_t(size) ? size : -1;
}
