#pragma once

#include "link/CommPort.h"

#include <QByteArray>

// How the camera behind the scripted port behaves.
enum class CameraScript {
    Answers,               // acknowledges every frame; reports its version when asked
    Silent,                // never says a word
    PortBusy,              // the port cannot be opened: another program holds it
    IgnoresDownloadStart,  // answers the check, then never acknowledges "ckl0"
};

// A serial port with a camera on it that answers at once: whatever the camera says in
// reply to a frame is there for the next read. Enough of a camera to walk the wizard
// through every page without a serial line.
class ScriptedCamera : public CommPort {
public:
    // `versionReport` is the text the camera sends when asked for its version
    // (framed here); empty means the camera answers the request with a bare
    // acknowledgement.
    ScriptedCamera(CameraScript script, QByteArray versionReport);

    bool portOpen() const override;
    void close() override;
    void setCommPort(qint16 number) override;
    void open() override;
    void output(const QByteArray &bytes) override;
    QByteArray input() override;

private:
    void requireOpen(int errorNumber, const char *what) const;

    CameraScript m_script;
    QByteArray m_versionReport;
    QByteArray m_pending;
    bool m_open = false;
};
