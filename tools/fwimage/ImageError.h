#pragma once

#include <QString>
#include <stdexcept>

// A firmware file (a raw or Intel HEX program image, or a Windows program that
// should carry a container) that cannot be turned into a container.
class ImageError : public std::runtime_error {
public:
    explicit ImageError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}

    QString message() const { return m_message; }

private:
    QString m_message;
};
