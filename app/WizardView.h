#pragma once

#include "app/LandingTable.h"

#include <QRect>
#include <QSize>
#include <QWidget>

class DialogLabel;
class PictureBox;
class QComboBox;
class QFrame;
class QPushButton;
class SeparatorLine;

// The wizard's window as it looks: every control built from the layout table with its
// name, place, text and initial state; the design's colours whatever the desktop's
// palette; fonts and pictures for the screen it is on, followed to another; the banner,
// the progress bar; centred on the screen. What the window does is frmRevertex's.
class WizardView : public QWidget {
    Q_OBJECT
public:
    explicit WizardView(QWidget *parent = nullptr);

protected:
    // The cells of the animation strip, and the banner's emblem square: 64 x 64 pixels.
    static constexpr int kThrobCell = 64;

    // Centres the window once more when its frame turns out other than it was centred for.
    bool event(QEvent *event) override;

    QFrame *page(Page which) const;
    // The still emblem (Picture4) into the banner at (0, 0), over any animation cell.
    void showEmblem();
    // The 64 x 64 cell of the animation strip (Picture2) that starts at x into the banner.
    void showThrobCell(int x);
    // The progress bar to lineIndex / upper of its width, and the percentage in Label9.
    void drawLineProgress(qint32 lineIndex, qint32 upper);
    // Label10 says that the firmware is our test image, in place of the web address.
    void showTestFirmwareNotice();
    void centreOnScreen();

    QFrame *frame1 = nullptr;
    QFrame *frame2 = nullptr;
    QFrame *frame3 = nullptr;
    QFrame *frame4 = nullptr;
    QFrame *frame4a = nullptr;
    QFrame *frame5 = nullptr;
    QFrame *frame6 = nullptr;
    DialogLabel *lblError = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *cmdPrev = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void createControls();
    void applyLook();
    // Fonts and pictures for a screen of this device pixel ratio.
    void applyScreenScale(qreal devicePixelRatio);
    void setTabOrderOfButtons();
    template <class T> T *control(const char *name) const;

    QSize m_centredFrameSize;   // the frame size the window was last centred for
    qreal m_devicePixelRatio = 1.0;   // of the screen the window opened on

    PictureBox *Picture1 = nullptr;
    PictureBox *Picture2 = nullptr;
    PictureBox *Picture3 = nullptr;
    PictureBox *Picture4 = nullptr;
    PictureBox *Picture5 = nullptr;
    DialogLabel *Label4 = nullptr;
    DialogLabel *Label9 = nullptr;
    DialogLabel *Label10 = nullptr;
    SeparatorLine *Line1 = nullptr;
    SeparatorLine *Line2 = nullptr;
};
