#pragma once
// The commands of transhoravo, one file each. Each returns the exit status:
// 0 completed, 1 stopped by an error, 2 wrong usage, 3 a decision is missing.

#include <QStringList>

namespace exit_status {
constexpr int completed = 0;
constexpr int error = 1;
constexpr int usage = 2;
constexpr int decisionMissing = 3;
} // namespace exit_status

int exportCommand(const QStringList &arguments);
int importCommand(const QStringList &arguments);
int showCommand(const QStringList &arguments);
