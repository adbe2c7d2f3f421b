#include "export/time_frames.h"

#include "common/clipper.h"

namespace time_frames {

bool slotMinutes(const QString &trimmed, int &minutes)
{
    const QString text = trimmed.size() < 4 ? QLatin1Char('0') + trimmed : trimmed;
    return clipper::parseWholeNumber(text, minutes);
}

QString timeText(long long minutes)
{
    long long hours = minutes / 60;
    long long rest = minutes % 60;
    if (rest < 0) {
        rest += 60;
        --hours;
    }
    const auto twoDigits = [](long long part) {
        const QString text = QString::number(part);
        return text.size() == 1 ? QLatin1Char('0') + text : text;
    };
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(rest);
}

FrameCodes decodeHandOver(const QString &text)
{
    if (text.size() == 2 * frameCodeWidth)
        return {clipper::AllTrim(text.left(frameCodeWidth)), clipper::AllTrim(text.mid(frameCodeWidth))};
    return {clipper::AllTrim(text.left(frameCodeWidth)), QString()};
}

} // namespace time_frames
