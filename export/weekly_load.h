#pragma once
// A weekly teaching load as the timetabler's assignments hold it: whole hours,
// and one lesson of one hour per hour.

#include <QString>

struct WeeklyLoad {
    double hours = 0; // HORAS
    QString lessons; // SESIONES: one "1" per hour
};

// The minutes divided by 60, rounded up, and at least one hour.
inline WeeklyLoad weeklyLoadFromMinutes(int minutes)
{
    const int hours = minutes <= 60 ? 1 : (minutes + 59) / 60;
    return {double(hours), QString(hours, QLatin1Char('1'))};
}

// Every assignment of step 8 starts with this load (4 hours, "1111").
constexpr int kDefaultWeeklyMinutes = 240;
