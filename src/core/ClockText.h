#pragma once

#include <QLocale>
#include <QString>

class QTime;
class SettingsStore;

// The texts of the clock face.
namespace ClockText {

// "h:mm" (hour 1 to 12, no AM/PM marker) or "HH:mm", with ":ss" when showSeconds.
QString timeString(const QTime &time, bool h24, bool showSeconds);

// Seconds rounded up to whole seconds: "mm:ss" below an hour, "h:mm:ss" from
// an hour on, hours unpadded and unlimited. The input is finite and not negative.
QString countdownString(double seconds);

bool isAfternoon(const QTime &time);

// Whether the locale writes the time of day in 24 hours: its short time format has no
// AM/PM marker.
bool localeUses24Hours(const QLocale &locale);
// The "h24" setting; where none was stored (or it holds no Boolean), what the locale writes.
// A stored value wins, so a settings file means what it meant before.
bool uses24Hours(const SettingsStore &settings, const QLocale &locale = QLocale());

// The label of a half of the day, "AM" or "PM", in the user's language.
QString dayHalf(bool afternoon);

// What a screen reader hears of the face: the time without seconds and the date as
// a sentence ("9:05 PM, Tuesday, December 8"), the date left out when it is empty.
QString spokenTime(const QTime &time, bool h24, const QString &date);

// The same while a countdown runs, rounded up as on the face, parts that are zero
// left out: "Countdown, 24 minutes 59 seconds left".
QString spokenCountdown(double seconds);

} // namespace ClockText
