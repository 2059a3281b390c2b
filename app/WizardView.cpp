#include "app/WizardView.h"

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

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QPushButton>
#include <QScreen>

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

// Label10's line when the firmware is our test image, in place of the web address.
const QString kTestFirmwareNotice = QStringLiteral("TEST FIRMWARE: for the simulated camera only");

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

} // namespace

WizardView::WizardView(QWidget *parent) : QWidget(parent)
{
    initWindowResources();

    // A fixed dialog frame without minimize and maximize buttons; the window's load
    // takes the system menu and the close box away.
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
    setTabOrderOfButtons();
}

template <class T> T *WizardView::control(const char *name) const
{
    T *found = findChild<T *>(QString::fromLatin1(name));
    if (!found)
        throw std::logic_error(std::string("window control missing: ") + name);
    return found;
}

void WizardView::createControls()
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
    Label10 = control<DialogLabel>("Label10");
    lblError = control<DialogLabel>("lblError");
    Combo1 = control<QComboBox>("Combo1");
    cmdPrev = control<QPushButton>("cmdPrev");
    cmdNext = control<QPushButton>("cmdNext");
    cmdCancel = control<QPushButton>("cmdCancel");
    Line1 = control<SeparatorLine>("Line1");
    Line2 = control<SeparatorLine>("Line2");
}

void WizardView::applyLook()
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

void WizardView::applyScreenScale(qreal devicePixelRatio)
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

void WizardView::setTabOrderOfButtons()
{
    setTabOrder(cmdPrev, cmdNext);
    setTabOrder(cmdNext, cmdCancel);
    setTabOrder(cmdCancel, Combo1);
}

void WizardView::centreOnScreen()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is known only once a window manager has decorated the shown window;
    // until then frameGeometry() is the client area alone, and event() centres again.
    m_centredFrameSize = frameGeometry().size();
    move(centredFramePosition(screen->availableGeometry(), m_centredFrameSize));
}

bool WizardView::event(QEvent *event)
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

QFrame *WizardView::page(Page which) const
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

void WizardView::showEmblem()
{
    Picture3->paintPicture(Picture4->picture(), 0, 0);
}

void WizardView::showThrobCell(int x)
{
    Picture3->paintPicture(Picture2->picture(), 0, 0, QRect(x, 0, kThrobCell, kThrobCell));
}

void WizardView::drawLineProgress(qint32 lineIndex, qint32 upper)
{
    const int width = LineProgress::barWidth(Picture1->scaleWidth(), lineIndex, upper);
    Picture1->fillBox(QRect(0, 0, width, Picture1->scaleHeight()), kProgressBar);
    Label9->setText(LineProgress::percentText(lineIndex, upper));
}

void WizardView::showTestFirmwareNotice()
{
    Label10->setText(kTestFirmwareNotice);
}
