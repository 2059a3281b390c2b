#pragma once

#include "link/CommPort.h"
#include "link/CommPortState.h"
#include "link/LowLatency.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

// The serial port control on QSerialPort: 9600 8N1, no flow control. Input is read when
// the sequences ask; QSerialPort's readyRead tells them when to ask. Used on the GUI
// thread only; every failure throws RuntimeError, in the numbers and words of
// CommPortState that the Windows backend uses too.
//
// QSerialPort keeps signalling a device that has vanished (a USB adapter pulled, the
// far end of a pseudo-terminal closed) on every turn of the event loop. The control
// closes the port on the first such error and remembers why, so nothing spins and the
// next output() or input() reports the failure.
class SerialPortControl : public QObject, public CommPort {
    Q_OBJECT
public:
    explicit SerialPortControl(QObject *parent = nullptr);
    ~SerialPortControl() override;

    bool portOpen() const override;
    void close() override;
    void setCommPort(qint16 number) override;
    void open() override;
    void output(const QByteArray &bytes) override;
    QByteArray input() override;
    bool notifyArrivals(std::function<void()> handler) override;

    // Opens `device` whatever port number it is given (a port named by its path, as
    // revertex-cli takes them); empty: the device behind the number.
    void setDevice(const QString &device)
    {
        m_fixedDevice = device;
        m_state.nameByDevice(!device.isEmpty());
    }

    // What the driver answered when the port last opened and asked for low latency.
    LowLatencyAnswer lowLatency() const { return m_lowLatency; }

    // The device behind port `number` as the machine has its ports now: "COMn" on
    // Windows; elsewhere the device named by REVERTEX_COM<n> when it is set, else the
    // n-th serial port present (empty when there are fewer).
    static QString deviceFor(qint16 number);

private:
    void onError(QSerialPort::SerialPortError error);
    bool applySettings();
    void sendQueued();

    QSerialPort *m_port;
    CommPortState m_state;
    QString m_fixedDevice;        // setDevice(): the one device this port opens
    bool m_opening = false;       // errors during open() are handled by open() itself
    std::function<void()> m_arrival;
    LowLatencyAnswer m_lowLatency = LowLatencyAnswer::NotAvailable;
};
