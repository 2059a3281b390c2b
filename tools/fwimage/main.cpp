// fwimage: packs, checks and unpacks firmware containers; the build runs it to
// check the firmware it embeds.
#include "tools/fwimage/FwimageCommand.h"

#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    try {
        return FwimageCommand(out, err).run(arguments);
    } catch (const std::exception &error) {
        err << "fwimage: " << error.what() << "\n";
    }
    return FwimageCommand::kFailed;
}
