#include "cli/Terminal.h"

#include <unistd.h>

bool Terminal::isTerminal(std::FILE *stream)
{
    return isatty(fileno(stream)) == 1;
}

bool Terminal::enableRedraw(std::FILE *stream)
{
    return isTerminal(stream);
}
