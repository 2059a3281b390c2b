// Feeds ReadBuffer an arbitrary byte stream cut into arbitrary reads and checks,
// against a plain model, that only the two exact tokens acknowledge, that no byte
// is lost or invented between reads, and that the version follows its rule.
#include "link/ReplyHandling.h"
#include "tests/support/FakeCommPort.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void fail(const char *what)
{
    fprintf(stderr, "invariant broken: %s\n", what);
    abort();
}

std::string upper(std::string text)
{
    for (char &c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// The version rule written out plainly.
std::string modelVersion(const std::string &reply)
{
    const std::string folded = upper(reply);
    if (folded.find("BOOT") == std::string::npos || folded.find("CBOX ") == std::string::npos)
        return "unk";
    const std::string text = reply.substr(0, reply.size() - 1);
    return text.substr(folded.find("CBOX ") + 5);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Each chunk: one control byte (read length in its low 4 bits, bit 4 asks for a
    // version, bit 5 lowers the acknowledgement first), then that many input bytes.
    CameraSession session;
    FakeCommPort port;
    port.isOpen = true;
    std::string consumed;   // every byte handed over, in order
    std::string pending;    // the model's not yet ended reply

    size_t at = 0;
    while (at < size) {
        const uint8_t control = data[at++];
        const size_t length = std::min<size_t>(control & 0x0F, size - at);
        const std::string chunk(reinterpret_cast<const char *>(data + at), length);
        at += length;

        if (control & 0x10)
            session.WantVersion = true;
        if (control & 0x20)
            session.AckReceived = false;
        const bool ackBefore = session.AckReceived;
        const bool wantBefore = session.WantVersion;
        const QByteArray versionBefore = session.CameraVersion;

        port.pendingReads.append(QByteArray(chunk.data(), static_cast<qsizetype>(chunk.size())));
        ReadBuffer(session, port);

        // The model: cut at EOT, act on every complete reply.
        pending += chunk;
        bool ack = ackBefore;
        bool want = wantBefore;
        std::string version(versionBefore.constData(), static_cast<size_t>(versionBefore.size()));
        size_t eot;
        while ((eot = pending.find('\x04')) != std::string::npos) {
            const std::string reply = pending.substr(0, eot + 1);
            pending.erase(0, eot + 1);
            consumed += reply;
            if (reply == std::string("\x02lvr\x04") || reply == std::string("\x02lira\x04"))
                ack = true;
            if (want) {
                want = false;
                version = modelVersion(reply);
            }
        }

        if (session.AckReceived != ack)
            fail("acknowledgement differs from the exact-token rule");
        if (session.WantVersion != want)
            fail("version request state differs");
        if (std::string(session.CameraVersion.constData(), static_cast<size_t>(session.CameraVersion.size())) != version)
            fail("version differs from the rule");
        if (std::string(session.ReplyBuffer.constData(), static_cast<size_t>(session.ReplyBuffer.size())) != pending)
            fail("bytes lost or invented between reads");
        if (session.ReplyBuffer.contains('\x04'))
            fail("a complete reply was left in the buffer");
    }
    return 0;
}
