#include "link/SerialPortControl.h"

#include <QSerialPort>

SerialPortControl::SerialPortControl(QObject *parent) : QObject(parent), m_port(new QSerialPort(this)) {}
SerialPortControl::~SerialPortControl() = default;
bool SerialPortControl::portOpen() const { return m_port->isOpen(); }
void SerialPortControl::close() { m_port->close(); }
void SerialPortControl::setCommPort(qint16 number) { m_number = number; }
void SerialPortControl::open() {}
void SerialPortControl::output(const QByteArray &) {}
QByteArray SerialPortControl::input() { return {}; }
