#pragma once

#include "link/CommPort.h"

#include <QObject>

class QSerialPort;

// The serial port control on QSerialPort: 9600 8N1, no flow control.
// Placeholder until the real layer lands.
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

private:
    QSerialPort *m_port;
    qint16 m_number = 1;
};
