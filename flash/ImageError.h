#pragma once

#include <QString>
#include <stdexcept>

// A firmware file (a raw or Intel HEX program image, or a Windows program that
// should carry a container) that cannot be turned into a container, or whose image
// is not the one this wizard flashes.
class ImageError : public std::runtime_error {
public:
    explicit ImageError(const QString &fault) : ImageError(QString(), fault) {}

    // subject: the kind of file the fault was found in, put before it in the message
    // ("Windows program: ..."); a refusal that names the kind itself takes fault() alone.
    ImageError(const QString &subject, const QString &fault)
        : std::runtime_error(compose(subject, fault).toStdString()), m_message(compose(subject, fault)), m_fault(fault)
    {
    }

    QString message() const { return m_message; }
    QString fault() const { return m_fault; }

private:
    static QString compose(const QString &subject, const QString &fault)
    {
        return subject.isEmpty() ? fault : subject + QStringLiteral(": ") + fault;
    }

    QString m_message;
    QString m_fault;
};

// The subjects the readers name.
namespace ImageSubject {
inline const QString kWindowsProgram = QStringLiteral("Windows program");
inline const QString kIntelHex = QStringLiteral("Intel HEX");
} // namespace ImageSubject
