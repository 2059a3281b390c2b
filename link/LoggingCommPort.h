#pragma once

#include "link/CommPort.h"
#include "link/WireLog.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A serial port that writes what passes through it into a WireLog: every frame sent
// and every reply received (cut at EOT, as the reply handling cuts them), with its byte
// count, its bytes in hex and the command spelled out; opening, closing and every
// failure of the port beside them. The port itself behaves exactly as the one inside.
class LoggingCommPort : public CommPort {
public:
    // `name` labels the port's lines; empty: "COMn" after the number the port was given.
    LoggingCommPort(std::unique_ptr<CommPort> inner, std::shared_ptr<WireLog> log, QString name = {});
    ~LoggingCommPort() override;

    bool portOpen() const override;
    void close() override;
    void setCommPort(qint16 number) override;
    void open() override;
    void output(const QByteArray &bytes) override;
    QByteArray input() override;
    bool notifyArrivals(std::function<void()> handler) override;

    // How a frame or reply reads in the log: "STX "QGt" EOT", "STX "ckw" line 17 EOT",
    // "STX "lvr" EOT (acknowledgement)". lineNumber names a line frame's line.
    static QString spelledOut(const QByteArray &frame, int lineNumber = -1);

private:
    template <class Operation> auto logged(const char *what, Operation operation);
    void logFrames(QByteArray &pending, bool sent);   // every frame ended by an EOT
    void logUnended();
    QString label() const;

    std::unique_ptr<CommPort> m_inner;
    std::shared_ptr<WireLog> m_log;
    QString m_name;
    qint16 m_number = 1;
    QByteArray m_sending;     // sent bytes not yet ended by an EOT
    QByteArray m_receiving;   // received bytes not yet ended by an EOT
    int m_linesSent = 0;      // line frames since the last download start
};
