#pragma once

#include <QString>

class QTime;

// The texts of the clock face.
namespace ClockText {

// "h:mm" (hour 1 to 12, no AM/PM marker) or "HH:mm", with ":ss" when showSeconds.
QString timeString(const QTime &time, bool h24, bool showSeconds);

// Seconds rounded up to whole seconds: "mm:ss" below an hour, "h:mm:ss" from
// an hour on, hours unpadded and unlimited. The input is finite and not negative.
QString countdownString(double seconds);

bool isAfternoon(const QTime &time);

} // namespace ClockText
