#pragma once
// Placeholder: the logic of the time frame dialog lands with its step.
#include <QString>
class FrameDialog {
public:
    bool resultMH = false;
    QString resultado;
};
