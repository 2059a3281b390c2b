#pragma once

#include "SimOptions.h"

#include <QString>
#include <QStringList>

// Reads the command line (without the program name). Accepts "--name value" and
// "--name=value". Any fault gives a one-line error naming the option.
class SimOptionsParser {
public:
    struct Result {
        SimOptions options;
        QString error;   // empty when the command line is usable
    };

    static Result parse(const QStringList &arguments);
    static QString helpText();
};
