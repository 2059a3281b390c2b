#include "SimOptionsParser.h"

#include "CameraCommands.h"
#include "WireJudge.h"

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int kMaxBaud = 4000000;
constexpr int kMaxAckDelayMs = 600000;

// Applies a value to the options; returns what is wrong with it, or nothing.
using Apply = std::function<QString(SimOptions &, const QString &)>;

struct OptionEntry {
    const char *name;        // without the leading "--"
    const char *valueName;   // nullptr for a switch
    const char *help;
    Apply apply;
};

QString readCount(const QString &value, int minimum, int maximum, int &out)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < minimum || number > maximum)
        return QStringLiteral("expects a whole number from %1 to %2, not \"%3\"").arg(minimum).arg(maximum).arg(value);
    out = number;
    return {};
}

QString readSeconds(const QString &value, bool zeroAllowed, double &out)
{
    bool ok = false;
    const double seconds = value.toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0 || (!zeroAllowed && seconds == 0) || seconds > 1e6)
        return QStringLiteral("expects a number of seconds%1, not \"%2\"")
            .arg(zeroAllowed ? QString() : QStringLiteral(" above 0"), value);
    out = seconds;
    return {};
}

QString readPath(const QString &value, QString &out)
{
    if (value.isEmpty())
        return QStringLiteral("expects a file name");
    out = value;
    return {};
}

Apply setFlag(bool SimOptions::*flag)
{
    return [flag](SimOptions &options, const QString &) {
        options.*flag = true;
        return QString();
    };
}

Apply setPath(QString SimOptions::*path)
{
    return [path](SimOptions &options, const QString &value) { return readPath(value, options.*path); };
}

const std::vector<OptionEntry> &optionTable()
{
    static const std::vector<OptionEntry> table{
        {"version", "V",
         "Version in the report to \"ckb0\" during the check (default 3.45, which needs flashing; "
         "3.46 needs none). Any text, even empty.",
         [](SimOptions &o, const QString &v) {
             if (v.contains(QChar(0x02)) || v.contains(QChar(0x04)))
                 return QStringLiteral("must not hold STX or EOT");
             o.version = v;
             return QString();
         }},
        {"no-report", nullptr, "Answer \"ckb0\" during the check with the acknowledgement only.",
         setFlag(&SimOptions::noReport)},
        {"ack-first", nullptr, "Send the acknowledgement of \"ckb0\" before the version report.",
         setFlag(&SimOptions::ackFirst)},
        {"lira", nullptr, "Acknowledge with STX \"lira\" EOT instead of STX \"lvr\" EOT.", setFlag(&SimOptions::lira)},
        {"alternate-acks", nullptr, "Alternate the acknowledgements \"lvr\" and \"lira\" (starting with the one --lira chooses).",
         setFlag(&SimOptions::alternateAcks)},
        {"noise", nullptr,
         "Send a stray reply STX \"xyz\" EOT ahead of every acknowledgement (never between a version request and its report).",
         setFlag(&SimOptions::noise)},
        {"split", nullptr, "Write every reply one byte at a time, with a short gap between bytes.",
         setFlag(&SimOptions::split)},
        {"ignore", "CMD",
         "Leave this command unanswered (repeatable). CMD: QGt, ckkV, cki0n, ckb0, ckl0, ckz0m, cDd0k3, cDr0k, "
         "ckk, ckd0 (the one followed by 0xF2) or ckw (every firmware line).",
         [](SimOptions &o, const QString &v) {
             if (!CameraCommands::knownNames().contains(v))
                 return QStringLiteral("\"%1\" is not a command the camera knows (%2)")
                     .arg(v, CameraCommands::knownNames().join(QStringLiteral(", ")));
             o.ignored.append(v);
             return QString();
         }},
        {"silent", nullptr, "Answer nothing at all.", setFlag(&SimOptions::silent)},
        {"stop-after-lines", "N",
         "Acknowledge N firmware lines, then answer nothing more (lines are still received and checked).",
         [](SimOptions &o, const QString &v) { return readCount(v, 0, INT32_MAX, o.stopAfterLines); }},
        {"vanish-after-lines", "N",
         "When the Nth good firmware line arrives, do not acknowledge it: close the device and exit, "
         "like a camera that disappears.",
         [](SimOptions &o, const QString &v) { return readCount(v, 1, INT32_MAX, o.vanishAfterLines); }},
        {"start-delay", "SECONDS", "Wait this long before acknowledging \"ckl0\" (fractions allowed).",
         [](SimOptions &o, const QString &v) { return readSeconds(v, true, o.startDelaySeconds); }},
        {"ack-delay-ms", "N", "Wait N milliseconds before every answer.",
         [](SimOptions &o, const QString &v) { return readCount(v, 0, kMaxAckDelayMs, o.ackDelayMs); }},
        {"jitter-ms", "N",
         "Wait a random time of up to N milliseconds more before every answer, drawn anew for each "
         "(with --seed the same delays come again).",
         [](SimOptions &o, const QString &v) { return readCount(v, 0, kMaxAckDelayMs, o.jitterMs); }},
        {"seed", "N", "Seed of the random delays of --jitter-ms (default 1).",
         [](SimOptions &o, const QString &v) { return readCount(v, 0, INT32_MAX, o.seed); }},
        {"baud", "N",
         "Pace both directions like a real 8N1 line at N baud: a frame is taken in only when its last byte "
         "would have arrived, and a reply is written only after its own time on the line. 0 (default) turns pacing off.",
         [](SimOptions &o, const QString &v) { return readCount(v, 0, kMaxBaud, o.baud); }},
        {"expect", "FILE",
         "The image the camera must receive: a firmware container, or a raw image whose size is a multiple of 64. "
         "The summary then says \"image: match\", \"image: MISMATCH at line N\" or \"image: incomplete N of M lines\" "
         "(lines counted from 0), or \"image: not judged, no download was started\".",
         setPath(&SimOptions::expectFile)},
        {"exit-after-finish", nullptr,
         "Exit once the closing script's final \"ckz0m\" after the download has been answered and the answer read.",
         setFlag(&SimOptions::exitAfterFinish)},
        {"timeout", "SECONDS", "Exit after this many seconds.",
         [](SimOptions &o, const QString &v) { return readSeconds(v, false, o.timeoutSeconds); }},
        {"tolerate", "CHECK",
         "Count this kind of protocol fault but let the run pass (repeatable; \"all\" for every check). CHECK: "
         "stray-bytes, abandoned-frames, wrong-phase, early-lines (a line, or the frame after the last line, sent "
         "before the acknowledgement of the frame before), bad-lines (wrong checksum or escapes), closing-order.",
         [](SimOptions &o, const QString &v) {
             const QStringList names = wireCheckNames();
             if (v == QLatin1String("all")) {
                 o.tolerated = names;
                 return QString();
             }
             if (!names.contains(v))
                 return QStringLiteral("\"%1\" is no check (%2, all)").arg(v, names.join(QStringLiteral(", ")));
             o.tolerated.append(v);
             return QString();
         }},
        {"log-commands", nullptr, "List the commands received, in order, in the summary.",
         setFlag(&SimOptions::logCommands)},
        {"report", "FILE", "Also write the results as JSON to FILE at exit.", setPath(&SimOptions::reportFile)},
        {"timing", "FILE",
         "Write per-line times to FILE at exit: when the acknowledgement before each line was written and when "
         "the line's first byte arrived (CLOCK_MONOTONIC seconds).",
         setPath(&SimOptions::timingFile)},
        {"path-file", "FILE", "Write the device path to FILE as well (atomically: a temporary file, then a rename).",
         setPath(&SimOptions::pathFile)},
        {"link", "PATH", "Make PATH a symbolic link to the device (removed again at exit).",
         setPath(&SimOptions::linkPath)},
        {"verbose", nullptr, "Log every frame and reply on stderr.", setFlag(&SimOptions::verbose)},
        {"help", nullptr, "Show this text.", setFlag(&SimOptions::help)},
    };
    return table;
}

const OptionEntry *findOption(const QString &name)
{
    for (const OptionEntry &entry : optionTable()) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

// Breaks a help text into lines that fit a terminal, each with the given indent.
QString wrapped(const QString &text, int indent)
{
    constexpr int kWidth = 92;
    const QString margin(indent, QLatin1Char(' '));
    QString result;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent + line.size() + 1 + word.size() > kWidth) {
            result += margin + line + QLatin1Char('\n');
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        result += margin + line + QLatin1Char('\n');
    return result;
}

QString crossCheck(const SimOptions &options)
{
    if (options.noReport && options.ackFirst)
        return QStringLiteral("--ack-first and --no-report cannot be combined");
    return {};
}

} // namespace

SimOptionsParser::Result SimOptionsParser::parse(const QStringList &arguments)
{
    Result result;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!argument.startsWith(QLatin1String("--"))) {
            result.error = QStringLiteral("unexpected argument \"%1\"").arg(argument);
            return result;
        }
        QString name = argument.mid(2);
        QString value;
        bool valueInline = false;
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
            valueInline = true;
        }
        const OptionEntry *entry = findOption(name);
        if (!entry) {
            result.error = QStringLiteral("unknown option --%1").arg(name);
            return result;
        }
        if (entry->valueName && !valueInline) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--%1 needs a value (%2)").arg(name, QLatin1String(entry->valueName));
                return result;
            }
            value = arguments.at(++i);
        } else if (!entry->valueName && valueInline) {
            result.error = QStringLiteral("--%1 takes no value").arg(name);
            return result;
        }
        const QString fault = entry->apply(result.options, value);
        if (!fault.isEmpty()) {
            result.error = QStringLiteral("--%1 %2").arg(name, fault);
            return result;
        }
    }
    result.error = crossCheck(result.options);
    return result;
}

QString SimOptionsParser::helpText()
{
    QString text = QStringLiteral(
        "Usage: ptz2-sim [options]\n"
        "\n"
        "A simulated PictureTel PTZ 2 camera on a pseudo-terminal. The first line on stdout is the\n"
        "device to open (for the wizard: REVERTEX_COM1=<device> build/revertex). The camera answers\n"
        "STX \"lvr\" EOT to every command it knows, sends a version report \"PTZ2 BOOT 1.07 CBOX <V>\"\n"
        "to \"ckb0\" before \"ckl0\" has put it into download mode, checks every firmware line\n"
        "(escapes, 65 bytes, 8-bit sum) and acknowledges only good ones. At exit (SIGTERM, SIGINT,\n"
        "--timeout, --exit-after-finish) it prints a summary: lines received, bad lines, bytes, with\n"
        "--expect whether the image arrived byte for byte, the protocol verdict, and last a result\n"
        "line: whether the camera saw what the options lead to.\n"
        "\n"
        "The protocol verdict covers the whole run: stray bytes outside frames, frames abandoned by\n"
        "a second STX, frames that are no command of the current phase (check, download, closing\n"
        "script), a line sent before the frame before it was acknowledged, lines with a wrong sum or\n"
        "escapes, and a closing script out of order. It names the first fault with its byte offset\n"
        "(in all the program sent) and its time (seconds since the start).\n"
        "\n"
        "The image is judged once a download has started. It must arrive whole, followed by the\n"
        "closing script, unless an option ends the download early (--silent, --ignore ckl0 or ckw,\n"
        "--start-delay of 31 s or more, --stop-after-lines or --vanish-after-lines below the image's\n"
        "line count): then an incomplete image is the expected outcome.\n"
        "\n"
        "Exit status: 0 when the run went as expected, 1 on a protocol fault (not tolerated), a\n"
        "mismatch, an unexpectedly incomplete image or an unfinished closing script, 2 on usage\n"
        "errors or when the device or a file cannot be set up.\n"
        "\n"
        "Options:\n");
    for (const OptionEntry &entry : optionTable()) {
        QString head = QStringLiteral("  --%1").arg(QLatin1String(entry.name));
        if (entry.valueName)
            head += QStringLiteral(" %1").arg(QLatin1String(entry.valueName));
        text += head + QLatin1Char('\n');
        text += wrapped(QLatin1String(entry.help), 6);
    }
    return text;
}
