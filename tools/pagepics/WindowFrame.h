#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

// The frame a dialog window of the wizard's kind wears on the desktop, drawn around a
// picture of its client area so the README pictures read as windows: a raised
// 3-D border and a title bar with the caption. The title bar has no buttons, as the
// window has no system menu.
namespace WindowFrame {

constexpr int kBorder = 3;
constexpr int kTitleHeight = 18;

QSize framedSize(const QSize &client);
QPoint clientOrigin();

// The frame takes the client picture's device pixel ratio; sizes here are logical.
QImage around(const QImage &client, const QString &caption);

} // namespace WindowFrame
