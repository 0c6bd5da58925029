#pragma once

#include <QString>

#include <exception>

// The program's error: a failure with a text meant for the user. Event
// handlers of the windows are the boundary that catches it and shows it.
class KladdoError : public std::exception
{
public:
    explicit KladdoError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {
    }

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
