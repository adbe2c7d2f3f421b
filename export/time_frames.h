#pragma once
// The time frames ("JORNADAS_ESCOLARES") and time slots ("TRAMOS_HORARIOS") of the
// Séneca document, as step 9, its dialog, the command line and the up-front check
// read them: where each value stands, and how a slot's start and end are read.

#include <QString>

namespace time_frames {

inline QString framesGroup()
{
    return QStringLiteral("JORNADAS_ESCOLARES");
}
inline QString slotsGroup()
{
    return QStringLiteral("TRAMOS_HORARIOS");
}

// Positions in a frame record.
constexpr int frameCode = 0;
constexpr int frameName = 1;
constexpr int frameFirstDate = 2;
constexpr int frameSecondDate = 3;

// Positions in a slot record.
constexpr int slotCode = 0;
constexpr int slotLabel = 1;
constexpr int slotStart = 2;
constexpr int slotEnd = 3;
constexpr int slotFrameCode = 4;

// A frame code as the table stores and compares it: at most 10 characters.
constexpr int frameCodeWidth = 10;

// A slot's start or end, in minutes after midnight, from its trimmed text: a text
// shorter than 4 characters gets one "0" put in front before it is read as a whole
// number, so an empty value reads as 0 (and "-5" reads as "0-5", not a number).
// False when the result is not a whole number.
bool slotMinutes(const QString &trimmed, int &minutes);

// The time text of a minute count: hours and minutes, each at least two digits,
// joined by ":" (480 gives 08:00, 545 gives 09:05). The hours are the count divided
// by 60 rounded down and the minutes its remainder from 0 to 59, so a negative
// count still gives a time text that reads back as the same count.
QString timeText(long long minutes);

// The one or two frame codes in use. When only one frame is in use the second
// code is the empty text, and slots with an empty frame code count as its slots.
struct FrameCodes {
    QString first;
    QString second;
};

// Decodes the dialog's hand-over text (resultado): exactly 20 characters hold two
// blocks of 10, each trimmed; any other length gives one code, its first 10
// characters trimmed, and an empty second code.
FrameCodes decodeHandOver(const QString &text);

} // namespace time_frames
