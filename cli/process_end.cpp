// Ending the process as soon as a command's work is written (commands.h).
#include "cli/cli_interface.h"
#include "cli/commands.h"

#include <cstdio>
#include <cstdlib>

namespace {
bool endingWithoutCleanupAllowed = false;
}

void allowEndingWithoutCleanup()
{
    endingWithoutCleanupAllowed = true;
}

void endIfAllowed(int status)
{
    if (!endingWithoutCleanupAllowed)
        return;
    standardOutput().flush();
    standardError().flush();
    std::fflush(nullptr);
    std::_Exit(status);
}
