#pragma once

#include <QList>
#include <QString>

class PortJob;

// The one question before the first line goes out, for all the ports to be flashed.
namespace Consent {

// Each port with what is about to happen to it, the warning, and the question itself.
QString question(const QList<const PortJob *> &toFlash);

// "y" or "yes", in any case, blanks around it allowed; anything else is no.
bool accepted(const QString &answer);

} // namespace Consent
