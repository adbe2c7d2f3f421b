#pragma once
#include <QString>
// Placeholder: the logic of the level and course dialog lands with its step.
class CourseDialog {
public:
    bool result = false;
    QString result2;
};
