#pragma once

#include <QByteArray>
#include <QString>

// How the camera reads the body of a "ckw" frame: 64 image bytes and their 8-bit
// sum, where 0x02, 0x04 and 0x7F each travel as the pair 0x7F and the byte itself.
// Written for the camera alone, so that the wizard's own encoder and this reader
// do not share a mistake.
namespace LineCheck {

constexpr int kImageBytesPerLine = 64;

struct Result {
    bool good = false;
    QByteArray imageBytes;   // the 64 image bytes when good
    QString fault;           // what the camera objects to when not good
};

Result read(const QByteArray &body);

} // namespace LineCheck
