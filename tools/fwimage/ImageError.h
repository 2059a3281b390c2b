#pragma once

#include <QString>
#include <stdexcept>

// A program image (raw or Intel HEX) that cannot be turned into a container.
class ImageError : public std::runtime_error {
public:
    explicit ImageError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}

    QString message() const { return m_message; }

private:
    QString m_message;
};
