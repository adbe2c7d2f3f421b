#pragma once
// The commands of transhoravo, one file each. Each returns the exit status:
// 0 completed, 1 stopped by an error, 2 wrong usage, 3 a decision is missing,
// 4 the check found errors in the document.

#include <QStringList>

namespace exit_status {
constexpr int completed = 0;
constexpr int error = 1;
constexpr int usage = 2;
constexpr int decisionMissing = 3;
constexpr int findingsWithErrors = 4; // transhoravo check only
} // namespace exit_status

int exportCommand(const QStringList &arguments);

// A command that has written its output and closed its files may end the process
// there, leaving the memory it holds (documents of hundreds of megabytes) to the
// system, which takes it back at once, instead of freeing it piece by piece.
// Only the program's entry point allows it: commands run inside the tests free
// everything as usual.
void allowEndingWithoutCleanup();
// Ends the process with the status when allowed, after flushing what was written; returns otherwise.
void endIfAllowed(int status);
int importCommand(const QStringList &arguments);
int showCommand(const QStringList &arguments);
int checkCommand(const QStringList &arguments);
