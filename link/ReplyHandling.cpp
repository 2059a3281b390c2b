#include "link/ReplyHandling.h"

#include "link/CameraVersion.h"
#include "link/Frames.h"

namespace {

const QByteArray kAckLvr("\x02" "lvr" "\x04");
const QByteArray kAckLira("\x02" "lira" "\x04");

} // namespace

bool isAcknowledgement(const QByteArray &reply)
{
    return reply == kAckLvr || reply == kAckLira;
}

void ReadBuffer(CameraSession &session, CommPort &port)
{
    session.ReplyBuffer.append(port.input());
    if (session.ReplyBuffer.isEmpty())
        return;

    qsizetype eot;
    while ((eot = session.ReplyBuffer.indexOf(Frame::EOT)) >= 0) {
        const QByteArray reply = session.ReplyBuffer.left(eot + 1);
        session.ReplyBuffer.remove(0, eot + 1);
        if (isAcknowledgement(reply))
            session.AckReceived = true;
        if (session.WantVersion) {
            session.WantVersion = false;
            pvr(session, reply);
        }
    }
}

void pvr(CameraSession &session, const QByteArray &reply)
{
    static const QByteArray kBoot("BOOT");
    static const QByteArray kCbox(CameraVersion::kMarker);

    // Markers are searched without regard to letter case; only ASCII letters fold,
    // so positions in the folded copy are positions in the reply.
    const QByteArray folded = reply.toUpper();
    if (!folded.contains(kBoot) || !folded.contains(kCbox)) {
        session.CameraVersion = CameraVersion::kUnknown;
        return;
    }
    const QByteArray text = reply.left(reply.size() - 1);   // without the final EOT
    const qsizetype at = folded.left(text.size()).indexOf(kCbox);
    if (at < 0) {
        // The only "CBOX " ran into the last character: a reply cut at EOT cannot
        // look like this, but an unterminated one must not yield a made-up version.
        session.CameraVersion = CameraVersion::kUnknown;
        return;
    }
    session.CameraVersion = text.mid(at + kCbox.size());
}
