#include "app/frmRevertex.h"

#include "app/ComPortTips.h"
#include "app/DialogLabel.h"
#include "flash/FirmwareImage.h"
#include "flash/TestFirmware.h"
#include "link/ComPortCount.h"
#include "link/ComPortsPresent.h"
#include "link/ReplyHandling.h"
#include "link/RuntimeError.h"
#include "link/SerialPortFactory.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

// Reported when the firmware image cannot be used (the toolkit's "bad file format").
constexpr int kBadFirmwareError = 321;

constexpr int kComPortEntryWidth = 2;    // " 1" ... "16": right-aligned in two characters

// The busy animation: 33 cells side by side, a tick every 30 ms; the frame counter
// steps by 3 and starts over after cell 32 (frame 96).
constexpr int kThrobIntervalMs = 30;
constexpr qint32 kThrobFrameStep = 3;
constexpr qint32 kLastThrobFrame = 98;

std::unique_ptr<CommPort> portOrDefault(std::unique_ptr<CommPort> port)
{
    if (port)
        return port;
    return makeSerialPort();
}

std::unique_ptr<SecondsClock> clockOrDefault(std::unique_ptr<SecondsClock> clock)
{
    if (clock)
        return clock;
    return std::make_unique<MonotonicSecondsClock>();
}

void applyButtonChange(QPushButton *button, ButtonChange change)
{
    if (change == ButtonChange::Enable)
        button->setEnabled(true);
    else if (change == ButtonChange::Disable)
        button->setEnabled(false);
}

} // namespace

frmRevertex::frmRevertex(Parts parts, QWidget *parent)
    : WizardView(parent),
      MSComm1(portOrDefault(std::move(parts.port))),
      m_clock(clockOrDefault(std::move(parts.clock))),
      m_fatalError(std::move(parts.fatalError)),
      m_firmwareContainer(std::move(parts.firmware)),
      m_comPorts(std::move(parts.comPorts)),
      m_runner(std::make_unique<SequenceRunner>(
          *MSComm1, *m_clock, FirmwareLines, *this,
          [this](int number, const QString &description) { endWithRunTimeError(number, description); }, this))
{
    if (!m_comPorts)
        m_comPorts = [] { return currentComPorts(kComPortCount); };
    if (!m_fatalError) {
        m_fatalError = [this](int number, const QString &description) {
            showRunTimeError(this, number, description);
            QCoreApplication::exit(1);
        };
    }

    createTimers();

    Form_Load();
    centreOnScreen();
}

frmRevertex::~frmRevertex()
{
    m_runner.reset();   // before the port and the clock it runs on
    stopAllTimers();
}

void frmRevertex::createTimers()
{
    // The sequence timers are the runner's; the animation is the window's own.
    throbAnimate = new QTimer(this);
    throbAnimate->setObjectName(QStringLiteral("throbAnimate"));
    throbAnimate->setInterval(kThrobIntervalMs);
    connect(throbAnimate, &QTimer::timeout, this, &frmRevertex::throbAnimate_Timer);

    connect(cmdNext, &QPushButton::clicked, this, &frmRevertex::cmdNext_Click);
    connect(cmdPrev, &QPushButton::clicked, this, &frmRevertex::cmdPrev_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRevertex::cmdCancel_Click);
}

void frmRevertex::Form_Load()
{
    // 1. The download state: no firmware lines yet, no line sent, the link free.
    FirmwareLines.clear();
    m_runner->session().resetForDownload();

    // 2. The still emblem into the banner.
    showEmblem();

    // 3. The COM port list: " 1" ... "16", whatever ports the machine has.
    Combo1->clear();
    for (int i = 1; i <= kComPortCount; ++i)
        Combo1->addItem((QString(kComPortEntryWidth, QLatin1Char(' ')) + QString::number(i)).right(kComPortEntryWidth));
    Combo1->setCurrentIndex(0);

    // 4. No system menu, and with it no close box; the title keeps its caption.
    setWindowFlags(windowFlags() & ~(Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint));

    // 5. Redraw.
    update();

    // 6. The firmware image into FirmwareLines.
    unpackFirmwareImage();
}

void frmRevertex::unpackFirmwareImage()
{
    // Read in memory: no temporary file beside the program, so a read-only install
    // directory or a second instance cannot break the start. A damaged image stops
    // the load here, before any port is opened or a byte sent.
    try {
        FirmwareLines = unpackFirmware(m_firmwareContainer);
    } catch (const FirmwareError &error) {
        FirmwareLines.clear();
        throw RuntimeError(kBadFirmwareError,
                           QStringLiteral("The firmware image is damaged (%1). Nothing has been sent to the camera.")
                               .arg(error.message()));
    }
    m_firmwareContainer.clear();
    m_holdsTestImage = TestFirmware::isTestImage(FirmwareLines);
    if (m_holdsTestImage)
        showTestFirmwareNotice();
}

void frmRevertex::cmdNext_Click()
{
    const qint32 from = PageNumber;
    PageNumber = from + 1;
    switch (from) {
    case 0:
        frame1->hide();
        showComPortPage();
        cmdPrev->setEnabled(true);
        break;
    case 1:
        m_failedPort = 0;   // a new check, a new verdict
        m_portFailure.clear();
        frame2->hide();
        frame3->show();
        cmdPrev->setEnabled(false);
        cmdNext->setEnabled(false);
        setTimerEnabled(SequenceTimer::CamTest, true);
        break;
    case 2:
        if (!frame4a->isHidden()) {
            // From a message page to the warning page; only the next Next starts the download.
            PageNumber = 2;
            frame4->show();
            frame4a->hide();
        } else {
            frame5->show();
            frame4->hide();
            frame4a->hide();
            cmdPrev->setEnabled(false);
            cmdNext->setEnabled(false);
            cmdCancel->setEnabled(false);
            setTimerEnabled(SequenceTimer::StartDownload, true);
        }
        break;
    default:
        break;   // Next is disabled from the progress page on
    }
}

void frmRevertex::cmdPrev_Click()
{
    --PageNumber;
    switch (PageNumber) {
    case 0:
        cmdPrev->setEnabled(false);
        frame2->hide();
        frame1->show();
        break;
    case 1:
        showComPortPage();
        frame3->hide();
        frame4->hide();
        frame4a->hide();
        cmdPrev->setEnabled(true);
        cmdNext->setEnabled(true);
        break;
    default:
        break;   // Back is disabled on the welcome page and from the progress page on
    }
}

void frmRevertex::cmdCancel_Click()
{
    close();
}

void frmRevertex::closeEvent(QCloseEvent *event)
{
    // Cancel is disabled only while the firmware is being written. Breaking that off
    // leaves the camera without working firmware, so the window stays open however
    // the close was asked for.
    if (!cmdCancel->isEnabled()) {
        event->ignore();
        return;
    }
    stopAllTimers();
    runReportingFailure(
        [this] {
            if (MSComm1->portOpen())
                MSComm1->close();
        },
        m_fatalError);
    event->accept();
}

void frmRevertex::showComPortPage()
{
    // The ports are looked up each time the page shows, so the tips follow adapters
    // plugged in or pulled out meanwhile.
    showComPortTips(Combo1, m_comPorts(), m_failedPort, m_portFailure);
    frame2->show();
}

void frmRevertex::notePortFailure(const QString &description)
{
    // The message page keeps its fixed text; a user who started from a terminal reads
    // the device and the cause here, and anyone finds them on the COM port entry's tip.
    m_failedPort = selectedPortEntry().trimmed().toShort();
    m_portFailure = description;
    const QByteArray line = QStringLiteral("revertex: %1\n").arg(description).toLocal8Bit();
    if (fputs(line.constData(), stderr) >= 0)
        fflush(stderr);   // without a terminal to tell, the tip still tells
}

void frmRevertex::throbAnimate_Timer()
{
    if (ThrobFrame > kLastThrobFrame) {
        ThrobFrame = 0;
        ThrobX = 0;
    }
    showThrobCell(ThrobX);
    ThrobFrame += kThrobFrameStep;
    ThrobX += kThrobCell;
}

void frmRevertex::restoreEmblem()
{
    throbAnimate->stop();
    showEmblem();
}

void frmRevertex::timerCamTest_Timer()
{
    m_runner->timerCamTest_Timer();
}

void frmRevertex::timerStartDownload_Timer()
{
    m_runner->timerStartDownload_Timer();
}

void frmRevertex::Timer1_Timer()
{
    m_runner->Timer1_Timer();
}

void frmRevertex::timerFinish_Timer()
{
    m_runner->timerFinish_Timer();
}

void frmRevertex::endWithRunTimeError(int number, const QString &description)
{
    // Nothing may tick on while the report is up: the program is over.
    stopAllTimers();
    m_fatalError(number, description);
}

void frmRevertex::stopAllTimers()
{
    if (m_runner)
        m_runner->stop();
    if (throbAnimate)
        throbAnimate->stop();
}

QString frmRevertex::selectedPortEntry() const
{
    return Combo1->itemText(Combo1->currentIndex());
}

void frmRevertex::setTimerEnabled(SequenceTimer which, bool enabled)
{
    m_runner->setTimerEnabled(which, enabled);
}

void frmRevertex::throbOn()
{
    if (!throbAnimate->isActive())
        throbAnimate->start();
}

void frmRevertex::land(Landing outcome)
{
    const LandingRow &row = landingRow(outcome);
    if (row.message)
        lblError->setText(QString::fromLatin1(row.message));
    m_runner->setTimerEnabled(row.timerOff, false);
    for (Page p : row.hide)
        page(p)->hide();
    for (Page p : row.show)
        page(p)->show();
    applyButtonChange(cmdPrev, row.back);
    applyButtonChange(cmdNext, row.next);
    applyButtonChange(cmdCancel, row.cancel);
    if (row.cancelCaption)
        cmdCancel->setText(QString::fromLatin1(row.cancelCaption));
    restoreEmblem();
}

void frmRevertex::showLineProgress(qint32 lineIndex, qint32 upper)
{
    drawLineProgress(lineIndex, upper);
}

void frmRevertex::ReadBuffer()
{
    ::ReadBuffer(m_runner->session(), *MSComm1);
}

void frmRevertex::pvr(const QByteArray &reply)
{
    ::pvr(m_runner->session(), reply);
}
