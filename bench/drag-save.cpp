// Times what saving costs the GUI thread while the card's width is dragged, with five notes
// of the longest length in the store:
//
//   drag-save [LENGTH]
//
// A drag of 100 pointer moves, one every 10 ms (1 s, 100 px), goes through the same path as
// the card's edge (SettingsStore::Save::Later and a SaveThrottle on the real timers), then a
// release. Prints how many times settings.json was replaced, the median and longest time one
// move spent on the GUI thread, the longest gap between two moves (a save that held the GUI
// thread shows there, wherever it ran), and for comparison the time of one save that writes
// the file before it returns (what every move cost when each change was saved at once).

#include "core/Note.h"
#include "core/NotesCodec.h"
#include "core/SaveThrottle.h"
#include "core/SettingsStore.h"
#include "core/TimerScheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMoves = 100;
constexpr int kMoveIntervalMs = 10;

// The file's inode changes with every replace.
ino_t inodeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int length = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100'000;
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    NoteList notes;
    for (int i = 0; i < 5; ++i)
        notes.append({QUuid::createUuid(), QString(length, QLatin1Char('a' + i)), false});
    store.setData(QStringLiteral("notes"), NotesCodec::encode(notes));

    QElapsedTimer once;
    once.start();
    store.setValue(Keys::cardWidth, 220.0);
    const double immediateMs = once.nsecsElapsed() / 1e6;

    TimerScheduler scheduler;
    SaveThrottle throttle(store, scheduler);
    std::vector<double> moveMs;
    QElapsedTimer sinceLastMove;
    double longestGapMs = 0;
    std::vector<ino_t> seen{inodeOf(store.filePath())};
    int moves = 0;
    QTimer pointer;
    pointer.setTimerType(Qt::PreciseTimer);
    pointer.setInterval(kMoveIntervalMs);
    QObject::connect(&pointer, &QTimer::timeout, [&] {
        if (sinceLastMove.isValid())
            longestGapMs = std::max(longestGapMs, sinceLastMove.nsecsElapsed() / 1e6);
        sinceLastMove.start();
        if (const ino_t now = inodeOf(store.filePath()); now != seen.back())
            seen.push_back(now);
        if (moves == kMoves) {
            QElapsedTimer release;
            release.start();
            throttle.finish();
            moveMs.push_back(release.nsecsElapsed() / 1e6);
            pointer.stop();
            QTimer::singleShot(500, &app, &QCoreApplication::quit);
            return;
        }
        QElapsedTimer move;
        move.start();
        store.setValue(Keys::cardWidth, 221.0 + moves++, SettingsStore::Save::Later);
        throttle.changed();
        moveMs.push_back(move.nsecsElapsed() / 1e6);
    });
    QElapsedTimer whole;
    whole.start();
    pointer.start();
    app.exec();
    store.flush();
    if (const ino_t now = inodeOf(store.filePath()); now != seen.back())
        seen.push_back(now);

    std::printf("settings.json: %lld bytes (five notes of %d characters)\n",
                static_cast<long long>(QFileInfo(store.filePath()).size()), length);
    std::printf("one save before it returns: %.1f ms on the GUI thread\n", immediateMs);
    std::printf("drag of %d moves over %.0f ms: the file was replaced %zu times\n", kMoves,
                double(whole.elapsed()) - 500, seen.size() - 1);
    std::printf("GUI thread per move (with the saves it started): median %.3f ms, longest %.3f ms\n", median(moveMs),
                *std::max_element(moveMs.begin(), moveMs.end()));
    std::printf("longest gap between two moves: %.1f ms (one every %d ms)\n", longestGapMs, kMoveIntervalMs);
    const SettingsStore reread(dir.path());
    std::printf("width after the drag: %.0f (expected %d)\n", reread.value(Keys::cardWidth), 220 + kMoves);
    return reread.value(Keys::cardWidth) == 220 + kMoves ? 0 : 1;
}
