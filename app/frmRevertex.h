#pragma once

#include "app/FatalErrorGuard.h"
#include "app/LandingTable.h"
#include "flash/LineRecords.h"
#include "flash/SequenceFront.h"
#include "flash/SequenceRunner.h"
#include "link/CameraSession.h"
#include "link/ComPortMapping.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"

#include <QWidget>

#include <functional>
#include <memory>

class DialogLabel;
class PictureBox;
class QComboBox;
class QFrame;
class QPushButton;
class QTimer;
class SeparatorLine;

// The wizard's one window: seven pages in one place, Back/Next/Cancel, the banner with
// the busy animation, and the timers that drive the camera check and the download.
// It owns the session state, the serial port and the firmware lines for the whole run.
// Controls carry their names as object names and are reached by those names.
class frmRevertex : public QWidget, public SequenceFront {
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
    // Centres the window once more when its frame turns out other than it was centred for.
    bool event(QEvent *event) override;

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
    void createControls();
    void applyLook();
    // Fonts and pictures for a screen of this device pixel ratio.
    void applyScreenScale(qreal devicePixelRatio);
    void createTimers();
    void setTabOrderOfButtons();
    void centreOnScreen();
    template <class T> T *control(const char *name) const;

    void Form_Load();
    void unpackFirmwareImage();
    void restoreEmblem();
    void showComPortPage();
    QFrame *page(Page which) const;
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

    QSize m_centredFrameSize;   // the frame size the window was last centred for
    qreal m_devicePixelRatio = 1.0;   // of the screen the window opened on

    qint32 PageNumber = 0;
    qint32 ThrobFrame = 0;   // counts in steps of 3 per cell shown
    qint32 ThrobX = 0;       // left edge of the strip cell to draw next

    PictureBox *Picture1 = nullptr;
    PictureBox *Picture2 = nullptr;
    PictureBox *Picture3 = nullptr;
    PictureBox *Picture4 = nullptr;
    PictureBox *Picture5 = nullptr;
    QFrame *frame1 = nullptr;
    QFrame *frame2 = nullptr;
    QFrame *frame3 = nullptr;
    QFrame *frame4 = nullptr;
    QFrame *frame4a = nullptr;
    QFrame *frame5 = nullptr;
    QFrame *frame6 = nullptr;
    DialogLabel *Label4 = nullptr;
    DialogLabel *Label9 = nullptr;
    DialogLabel *lblError = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *cmdPrev = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCancel = nullptr;
    SeparatorLine *Line1 = nullptr;
    SeparatorLine *Line2 = nullptr;
    QTimer *throbAnimate = nullptr;
};
