#pragma once

#include <QString>

#include <optional>

// What ICU's pattern generator gave for a locale, kept between runs in the user's cache
// folder, so that a start needs none of ICU's formatting data. The file is read as input
// from outside: a file that is too large, not a regular file, not the expected JSON, or
// whose entry fails its checksum counts as no entry at all. It is replaced atomically.
namespace DatePatternCache {

inline constexpr qint64 kMaxFileSize = 16 * 1024;
inline constexpr int kMaxEntries = 16;
inline constexpr int kMaxPatternLength = 200;

struct Entry
{
    QString locale;
    QString icuVersion;
    QString qtVersion;
    // ICU's best pattern for the long weekday, month and day.
    QString pattern;
    // Whether QLocale renders the pattern exactly as ICU does, day by day through a leap year.
    bool qlocaleMatches = false;

    friend bool operator==(const Entry &, const Entry &) = default;
};

QString filePath(const QString &folder);

// The entry for this locale made with these versions of ICU and Qt, when the file holds a
// sound one.
std::optional<Entry> find(const QString &folder, const QString &locale, const QString &icuVersion,
                          const QString &qtVersion);

// Puts the entry first in the file, in place of any other for its locale, keeping at most
// kMaxEntries; creates the folder (0700) and writes the file (0600) atomically. Why it
// failed, or an empty string.
QString store(const QString &folder, const Entry &entry);

} // namespace DatePatternCache
