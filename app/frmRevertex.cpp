#include "app/frmRevertex.h"

#include "app/ComPortTips.h"
#include "app/DialogFont.h"
#include "app/DialogLabel.h"
#include "app/DialogPalette.h"
#include "app/LineProgress.h"
#include "app/PictureBox.h"
#include "app/ScaledPicture.h"
#include "app/ScreenScaleWatch.h"
#include "app/SeparatorLine.h"
#include "app/WindowCentring.h"
#include "app/WindowLayout.h"
#include "flash/FirmwareImage.h"
#include "flash/TestFirmware.h"
#include "link/ComPortsPresent.h"
#include "link/ReplyHandling.h"
#include "link/RuntimeError.h"
#include "link/SerialPortFactory.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <stdexcept>

// The images are compiled into this library; a static library needs the explicit call.
static void initWindowResources()
{
    Q_INIT_RESOURCE(app);
}

namespace {

const QString kEmblemImage = QStringLiteral(":/revertex/emblem.png");
const QString kStripImage = QStringLiteral(":/revertex/strip.png");
const QString kIconImage = QStringLiteral(":/revertex/revertex.ico");
const QString kIconImage32At2x = QStringLiteral(":/revertex/revertex-32@2x.png");

const QColor kBannerColour(255, 255, 255);
const QColor kProgressBackground(207, 226, 240);
const QColor kProgressBar(99, 154, 206);

// Reported when the firmware image cannot be used (the toolkit's "bad file format").
constexpr int kBadFirmwareError = 321;

// Label10's line when the firmware is our test image, in place of the web address.
const QString kTestFirmwareNotice = QStringLiteral("TEST FIRMWARE: for the simulated camera only");

constexpr int kComPortCount = 16;
constexpr int kComPortEntryWidth = 2;    // " 1" ... "16": right-aligned in two characters

// The busy animation: 33 cells of 64 x 64 side by side; the frame counter steps by 3
// and starts over after cell 32 (frame 96).
constexpr int kThrobCell = 64;
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

QWidget *createControl(WindowLayout::ControlKind kind, QWidget *container)
{
    using K = WindowLayout::ControlKind;
    switch (kind) {
    case K::Picture:
        return new PictureBox(container);
    case K::Page: {
        auto *frame = new QFrame(container);
        frame->setFrameShape(QFrame::NoFrame);
        return frame;
    }
    case K::Label:
        return new DialogLabel(container);
    case K::DropDown: {
        auto *combo = new QComboBox(container);
        combo->setEditable(false);
        return combo;
    }
    case K::Button: {
        auto *button = new QPushButton(container);
        button->setAutoDefault(false);   // Enter and Esc trigger no button
        button->setDefault(false);
        return button;
    }
    case K::Line:
        return new SeparatorLine(container);
    }
    throw std::logic_error("control kind without a widget");
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
    : QWidget(parent),
      MSComm1(portOrDefault(std::move(parts.port))),
      m_clock(clockOrDefault(std::move(parts.clock))),
      m_fatalError(std::move(parts.fatalError)),
      m_firmwareContainer(std::move(parts.firmware)),
      m_comPorts(std::move(parts.comPorts)),
      m_runner(std::make_unique<SequenceRunner>(
          *MSComm1, *m_clock, FirmwareLines, *this,
          [this](int number, const QString &description) { endWithRunTimeError(number, description); }, this))
{
    initWindowResources();
    if (!m_comPorts)
        m_comPorts = [] { return currentComPorts(kComPortCount); };
    if (!m_fatalError) {
        m_fatalError = [this](int number, const QString &description) {
            showRunTimeError(this, number, description);
            QCoreApplication::exit(1);
        };
    }

    // A fixed dialog frame without minimize and maximize buttons; Form_Load takes
    // the system menu and the close box away.
    setObjectName(QString::fromLatin1(WindowLayout::kWindowName));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(WindowLayout::kCaption));
    QIcon icon(kIconImage);
    icon.addFile(kIconImage32At2x);   // the title bar and task bar of a screen scaled by 2
    setWindowIcon(icon);
    setFixedSize(WindowLayout::pixels(WindowLayout::kClientWidth), WindowLayout::pixels(WindowLayout::kClientHeight));

    // The colours are the design's own whatever the desktop's palette; the fonts and
    // pictures suit the screen the window is drawn on, and follow it to another.
    setPalette(dialogPalette());

    createControls();
    followSelectedTip(Combo1);
    applyLook();
    applyScreenScale(devicePixelRatioF());
    new ScreenScaleWatch(this, m_devicePixelRatio, [this](qreal ratio) { applyScreenScale(ratio); });
    createTimers();
    setTabOrderOfButtons();

    Form_Load();
    centreOnScreen();
}

frmRevertex::~frmRevertex()
{
    m_runner.reset();   // before the port and the clock it runs on
    stopAllTimers();
}

template <class T> T *frmRevertex::control(const char *name) const
{
    T *found = findChild<T *>(QString::fromLatin1(name));
    if (!found)
        throw std::logic_error(std::string("window control missing: ") + name);
    return found;
}

void frmRevertex::createControls()
{
    using WindowLayout::pixels;
    for (const WindowLayout::Control &c : WindowLayout::controls()) {
        QWidget *container = std::strcmp(c.container, WindowLayout::kWindowName) == 0
            ? static_cast<QWidget *>(this)
            : control<QWidget>(c.container);
        QWidget *widget = createControl(c.kind, container);
        widget->setObjectName(QString::fromLatin1(c.name));
        if (c.kind == WindowLayout::ControlKind::Line)
            static_cast<SeparatorLine *>(widget)->setEnds(pixels(c.left), pixels(c.top), pixels(c.left + c.width));
        else
            widget->setGeometry(pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height));
        if (c.text) {
            if (auto *label = qobject_cast<QLabel *>(widget))
                label->setText(QString::fromLatin1(c.text));
            else if (auto *button = qobject_cast<QPushButton *>(widget))
                button->setText(QString::fromLatin1(c.text));
        }
        widget->setHidden(!c.visible);
        widget->setEnabled(c.enabled);
    }

    Picture1 = control<PictureBox>("Picture1");
    Picture2 = control<PictureBox>("Picture2");
    Picture3 = control<PictureBox>("Picture3");
    Picture4 = control<PictureBox>("Picture4");
    Picture5 = control<PictureBox>("Picture5");
    frame1 = control<QFrame>("frame1");
    frame2 = control<QFrame>("frame2");
    frame3 = control<QFrame>("frame3");
    frame4 = control<QFrame>("frame4");
    frame4a = control<QFrame>("frame4a");
    frame5 = control<QFrame>("frame5");
    frame6 = control<QFrame>("frame6");
    Label4 = control<DialogLabel>("Label4");
    Label9 = control<DialogLabel>("Label9");
    lblError = control<DialogLabel>("lblError");
    Combo1 = control<QComboBox>("Combo1");
    cmdPrev = control<QPushButton>("cmdPrev");
    cmdNext = control<QPushButton>("cmdNext");
    cmdCancel = control<QPushButton>("cmdCancel");
    Line1 = control<SeparatorLine>("Line1");
    Line2 = control<SeparatorLine>("Line2");
}

void frmRevertex::applyLook()
{
    Picture3->setBackground(kBannerColour);
    Picture5->setBackground(kBannerColour);

    // The list drops down in a window of its own, which the style gives the desktop's
    // menu colours rather than the window's; its items are drawn as menu items, in
    // the desktop's menu colours, unless the list itself says otherwise.
    Combo1->view()->window()->setPalette(dialogPalette());
    Combo1->view()->setPalette(dialogPalette());

    Picture1->setBackground(kProgressBackground);
    Picture1->setBorder(PictureBox::Border::Sunken3D);

    // The etched separator: the 2-px shadow line with the 1-px highlight on its lower row.
    Line2->setPen(2, QPalette::Dark);
    Line1->setPen(1, QPalette::Light);
    Line1->raise();

}

void frmRevertex::applyScreenScale(qreal devicePixelRatio)
{
    m_devicePixelRatio = devicePixelRatio;
    const QFont font = dialogFont(devicePixelRatio);
    setFont(font);
    for (const WindowLayout::Control &c : WindowLayout::controls())
        control<QWidget>(c.name)->setFont(font);
    QFont bold = font;
    bold.setBold(true);
    Label4->setFont(bold);

    // The banner shows its picture anew: the still emblem, or the next animation cell
    // at the next tick.
    const QPixmap emblem = ScaledPicture::load(kEmblemImage, devicePixelRatio);
    Picture3->setPicture(emblem);
    Picture4->setPicture(emblem);
    Picture2->setPicture(ScaledPicture::load(kStripImage, devicePixelRatio));
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

void frmRevertex::setTabOrderOfButtons()
{
    setTabOrder(cmdPrev, cmdNext);
    setTabOrder(cmdNext, cmdCancel);
    setTabOrder(cmdCancel, Combo1);
}

void frmRevertex::centreOnScreen()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is known only once a window manager has decorated the shown window;
    // until then frameGeometry() is the client area alone, and event() centres again.
    m_centredFrameSize = frameGeometry().size();
    move(centredFramePosition(screen->availableGeometry(), m_centredFrameSize));
}

bool frmRevertex::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        if (isVisible() && frameGeometry().size() != m_centredFrameSize)
            centreOnScreen();
        break;
    default:
        break;
    }
    return handled;
}

void frmRevertex::Form_Load()
{
    // 1. The download state: no firmware lines yet, no line sent, the link free.
    FirmwareLines.clear();
    m_runner->session().resetForDownload();

    // 2. The still emblem into the banner.
    Picture3->paintPicture(Picture4->picture(), 0, 0);

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
        control<DialogLabel>("Label10")->setText(kTestFirmwareNotice);
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
    Picture3->paintPicture(Picture2->picture(), 0, 0, QRect(ThrobX, 0, kThrobCell, kThrobCell));
    ThrobFrame += kThrobFrameStep;
    ThrobX += kThrobCell;
}

void frmRevertex::restoreEmblem()
{
    throbAnimate->stop();
    Picture3->paintPicture(Picture4->picture(), 0, 0);
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

QFrame *frmRevertex::page(Page which) const
{
    switch (which) {
    case Page::Welcome:
        return frame1;
    case Page::ComPort:
        return frame2;
    case Page::Testing:
        return frame3;
    case Page::Message:
        return frame4a;
    case Page::Warning:
        return frame4;
    case Page::Progress:
        return frame5;
    case Page::Done:
        return frame6;
    }
    throw std::logic_error("page without a frame");
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
    const int width = LineProgress::barWidth(Picture1->scaleWidth(), lineIndex, upper);
    Picture1->fillBox(QRect(0, 0, width, Picture1->scaleHeight()), kProgressBar);
    Label9->setText(LineProgress::percentText(lineIndex, upper));
}

void frmRevertex::ReadBuffer()
{
    ::ReadBuffer(m_runner->session(), *MSComm1);
}

void frmRevertex::pvr(const QByteArray &reply)
{
    ::pvr(m_runner->session(), reply);
}
