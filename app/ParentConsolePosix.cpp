#include "app/ParentConsole.h"

void useParentConsole()
{
    // The program already writes to the terminal that started it.
}
