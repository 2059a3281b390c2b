#pragma once

#include "app/FatalErrorGuard.h"
#include "app/LandingTable.h"
#include "app/WizardView.h"
#include "flash/LineRecords.h"
#include "flash/SequenceFront.h"
#include "flash/SequenceRunner.h"
#include "link/CameraSession.h"
#include "link/ComPortMapping.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"

#include <functional>
#include <memory>

class QTimer;

// The wizard's one window at work: the page flow (Back/Next/Cancel), the landings of
// the sequences, the busy animation, start-up and closing. Its look is WizardView's;
// the sequences and their timers are the SequenceRunner's. It owns the serial port and
// the firmware lines for the whole run.
class frmRevertex : public WizardView, public SequenceFront {
    Q_OBJECT
public:
    // What the window runs on; tests put in their own.
    struct Parts {
        std::unique_ptr<CommPort> port;        // null: the serial port control on QSerialPort
        std::unique_ptr<SecondsClock> clock;   // null: whole seconds of the monotonic clock
        RunTimeErrorReport fatalError;         // empty: the message box, then the program ends
        QByteArray firmware;                   // the firmware container, checked at the start (WizardStart)
        std::function<QList<ComPortAssignment>()> comPorts;   // empty: the machine's COM ports as they are now
    };

    explicit frmRevertex(Parts parts = {}, QWidget *parent = nullptr);
    ~frmRevertex() override;

    // The reply handling on this window's session and port, for every sequence.
    void ReadBuffer();
    void pvr(const QByteArray &reply);

    // SequenceFront
    QString selectedPortEntry() const override;
    void throbOn() override;
    void notePortFailure(const QString &description) override;
    void land(Landing outcome) override;
    void showLineProgress(qint32 lineIndex, qint32 upper) override;

    // Switches a sequence's timer on or off, as the page flow and the sequences do.
    void setTimerEnabled(SequenceTimer timer, bool enabled);

    // Read-only views of the window's own state.
    const CameraSession &session() const { return m_runner->session(); }
    const LineRecords &firmwareLines() const { return FirmwareLines; }
    // Our own test image, fit only for the simulated camera: the window says so in
    // Label10 for the whole run.
    bool holdsTestImage() const { return m_holdsTestImage; }
    qint32 pageNumber() const { return PageNumber; }
    qint32 throbFrame() const { return ThrobFrame; }
    qint32 throbX() const { return ThrobX; }

protected:
    // Form_QueryUnload: refuses to close while a download runs, otherwise closes the port.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void cmdNext_Click();
    void cmdPrev_Click();
    void cmdCancel_Click();
    void timerCamTest_Timer();
    void timerStartDownload_Timer();
    void Timer1_Timer();
    void timerFinish_Timer();
    void throbAnimate_Timer();

private:
    void createTimers();

    void Form_Load();
    void unpackFirmwareImage();
    void restoreEmblem();
    void showComPortPage();
    void stopAllTimers();
    void endWithRunTimeError(int number, const QString &description);

    std::unique_ptr<CommPort> MSComm1;
    std::unique_ptr<SecondsClock> m_clock;
    RunTimeErrorReport m_fatalError;
    QByteArray m_firmwareContainer;
    std::function<QList<ComPortAssignment>()> m_comPorts;
    qint16 m_failedPort = 0;     // the COM number whose port failed at the last check; 0: none
    QString m_portFailure;       // and why
    LineRecords FirmwareLines;
    bool m_holdsTestImage = false;
    std::unique_ptr<SequenceRunner> m_runner;

    qint32 PageNumber = 0;
    qint32 ThrobFrame = 0;   // counts in steps of 3 per cell shown
    qint32 ThrobX = 0;       // left edge of the strip cell to draw next

    QTimer *throbAnimate = nullptr;
};
