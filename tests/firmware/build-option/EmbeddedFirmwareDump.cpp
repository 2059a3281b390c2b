// embedded-firmware OUT: writes the firmware container this program was built with to
// OUT; exit status 3 when it carries none.
#include "flash/EmbeddedFirmware.h"

#include <QFile>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const std::optional<QByteArray> embedded = embeddedFirmwareContainer();
    if (!embedded)
        return 3;
    QFile out(QString::fromLocal8Bit(argv[1]));
    return out.open(QIODevice::WriteOnly) && out.write(*embedded) == embedded->size() ? 0 : 1;
}
