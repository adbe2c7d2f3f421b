#pragma once
// A push button that marks the keyboard's focus with a frame of its own. The
// desktop's style draws a default button ("OK", "Continuar") the same with the
// focus as without it, so a person moving with Tab could not tell where it is.

#include <QPushButton>

class FocusMarkedButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};
