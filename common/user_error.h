#pragma once
// The one error type of the system: it carries the Spanish text the person reads.
// Steps, the table engine and the XML layer throw it; the window and the command
// line catch it at the top and show it.

#include <QByteArray>
#include <QString>
#include <exception>

class UserError : public std::exception {
public:
    explicit UserError(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8())
    {
    }

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The conversion text of a value that is not a whole number: the value as it
// stands, between Spanish quotes so that spaces around it show.
inline QString notAnIntegerText(const QString &value)
{
    return QStringLiteral("«%1» no es un número entero").arg(value);
}
