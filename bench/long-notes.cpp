// Times the card with long notes in the program's own process, on whatever display Qt
// is given (bench/long-notes.sh runs it on a private X display):
//
//   long-notes [LENGTH]
//
// For five short notes and for five notes of LENGTH characters (100000 unless given), prints
// the milliseconds from reading the stored notes to the card's first full paint, and from
// adding the fifth note to the card's next paint, each the median of several rounds.

#include "core/AppModel.h"
#include "core/NotesCodec.h"
#include "core/SettingsStore.h"
#include "core/TimerScheduler.h"
#include "fakes/FakeSoundPlayer.h"
#include "platform/time/SystemClock.h"
#include "widget/WidgetView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 5;
// The free area below the card on a 1280x800 screen, the card 24 px from its top.
constexpr int kRoom = 752;

// A long address without a space, as pasted from a browser.
QString noteText(int length, int index)
{
    QString text = QStringLiteral("https://example.org/%1/").arg(index);
    text += QString(std::max<qsizetype>(length - text.size(), 0), u'a');
    return text;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

struct Round
{
    double startMs;
    double addMs;
};

Round measure(int length)
{
    QTemporaryDir dir;
    {
        SettingsStore writer(dir.path());
        NoteList notes;
        for (int i = 0; i < AppModel::maxNotes - 1; ++i)
            notes.append(Note{QUuid::createUuid(), noteText(length, i), false});
        writer.setData(QString::fromLatin1(Keys::notes), NotesCodec::encode(notes));
    }
    SystemClock clock;
    TimerScheduler scheduler;
    FakeSoundPlayer sound;
    QElapsedTimer timer;
    timer.start();
    SettingsStore store(dir.path());
    AppModel model(AppModel::Services{clock, scheduler, sound, store});
    WidgetView card(model, store, scheduler);
    card.setHeightLimit(kRoom);
    card.show();
    card.repaint();
    QCoreApplication::processEvents();
    const double startMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    model.addNote(noteText(length, AppModel::maxNotes));
    card.repaint();
    QCoreApplication::processEvents();
    return {startMs, timer.nsecsElapsed() / 1e6};
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int length = argc > 1 ? std::clamp(QByteArray(argv[1]).toInt(), 1, AppModel::maxNoteLength) : 100'000;
    measure(10); // warms fonts and caches up
    for (const int each : {10, length}) {
        std::vector<double> starts;
        std::vector<double> adds;
        for (int round = 0; round < kRounds; ++round) {
            const Round r = measure(each);
            starts.push_back(r.startMs);
            adds.push_back(r.addMs);
        }
        std::printf("notes of %d characters: card up %.1f ms, one more added %.1f ms\n", each, median(starts),
                    median(adds));
    }
    return 0;
}
