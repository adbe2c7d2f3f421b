#include "app/focus_marked_button.h"

#include <QPainter>

void FocusMarkedButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::DotLine));
    painter.drawRect(rect().adjusted(4, 4, -5, -5));
}
