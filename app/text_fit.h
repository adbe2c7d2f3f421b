#pragma once
// Texts that must never be cut, whatever the desktop's font: the windows were laid
// out in pixels for small Windows fonts, so each box grows to what its text needs.

#include <QSize>
#include <QStringList>

class QLabel;
class QWidget;

namespace text_fit {

// The height a label's text needs at the label's width (word-wrapped labels), or
// its one line's size.
QSize neededSize(const QLabel *label);
// Grows the label's box to hold its text: wider for a one-line label or a word that
// does not fit, taller for wrapped lines. Returns how much taller it became.
int growToFit(QLabel *label);
// Every QLabel and QAbstractButton under root, shown or hidden, whose text its
// box does not hold whole: their names (objectName and text).
QStringList cutTexts(const QWidget *root);

} // namespace text_fit
