#pragma once

#include "core/LocalTime.h"
#include "core/Note.h"

#include <QObject>

#include <memory>
#include <optional>

class Clock;
class Scheduler;
class SettingsStore;
class SoundPlayer;

// The program's one model: the time, the single countdown, the flash after it
// ends, the drawer's settled state and the notes list. Every assignment of a
// published property is announced, even of an unchanged value.
//
// The model wakes only when something the user can see or hear changes: the next
// shown second (or minute, with seconds off), the countdown's next second and its
// end. The countdown is measured on the clock that never jumps; the wall clock only
// gives the time of day.
class AppModel : public QObject
{
    Q_OBJECT

public:
    struct Services
    {
        Clock &clock;
        Scheduler &scheduler;
        SoundPlayer &sound;
        SettingsStore &settings;
    };

    static constexpr int maxNotes = 5;
    // A longer text is most likely a whole document pasted by mistake.
    static constexpr int maxNoteLength = 100'000;
    static constexpr double flashDuration = 1.4;
    static constexpr double maxCountdown = 86'400;

    // Reads "startOpen" and the stored notes, and plans the first wake.
    explicit AppModel(const Services &services, QObject *parent = nullptr);

    // The wall-clock time of the last wake.
    double now() const { return m_now; }
    // now() in the system's time zone, to the millisecond.
    QDateTime localNow() const;
    bool drawerOpen() const { return m_drawerOpen; }
    // The countdown's end on the clock that never jumps (Clock::elapsed).
    std::optional<double> timerEndsAt() const;
    bool flashing() const { return m_flashing; }
    const NoteList &notes() const { return m_notes; }
    // Read from the settings at every use, so a change applies to the next completion.
    bool sound() const;

    // True while a countdown is set, also while it is paused.
    bool isRunning() const { return m_countdown.has_value(); }
    bool isPaused() const { return m_countdown && m_countdown->pausedLeft; }
    // Seconds left at the last wake; never negative, never more than was started.
    double remaining() const;

    void setDrawerOpen(bool open);
    // Starts a countdown that ends at endsAt on the clock that never jumps (none cancels it),
    // and takes the time, so the face shows the start at once.
    void setTimerEndsAt(std::optional<double> endsAt);

    // Starts the countdown the user typed, limited to 1 s to a day and counted from the
    // wall clock (not the last tick), and closes the drawer; a new start replaces a
    // running countdown. False, with nothing changed, when the text is not a duration.
    bool startCountdown(const QString &typed);
    // The same for a length in seconds already read (from the command line).
    void startCountdownFor(double seconds);
    // Ends the countdown without a chime or a flash.
    void cancelCountdown();
    // Holds a running countdown where it stands, or lets a paused one go on; nothing without
    // a countdown. A paused countdown does not end.
    void togglePause();

    // Adds the text, trimmed, as a new note; nothing when it is blank, longer than
    // maxNoteLength or the list is full.
    void addNote(const QString &text);
    void toggleNote(const QUuid &id);
    void deleteNote(const QUuid &id);

    // A wake: takes the time, completes an ended countdown and plans the next wake.
    void tick();
    // The wall clock was set, the time zone changed or the machine woke from sleep: the time
    // may have moved by any amount, so everything shown is worked out anew, then a tick.
    void refreshTime();

    // Seconds until just past the next moment the face changes: the next wall-clock second
    // (or local minute, with seconds off) from the wall time, or the countdown's next shown
    // second from the time left.
    static double delayToNextSecond(double wallTime);
    static double delayToNextMinute(double localTime);
    static double delayToNextCountdownSecond(double remaining);

signals:
    void nowChanged();
    // Comes before the nowChanged() of refreshTime().
    void timeRefreshed();
    void drawerOpenChanged();
    void timerEndsAtChanged();
    void flashingChanged();
    // A countdown reached its end (not cancelled); length is what was started, in seconds.
    void countdownEnded(double length);
    void notesChanged();

private:
    struct Countdown
    {
        double startedAt; // on the clock that never jumps
        double length;
        // While paused: the seconds that were left.
        std::optional<double> pausedLeft;
    };

    void takeTime();
    void planWake();
    double delayToNextWake() const;
    void complete(double length);
    void setFlashing(bool flashing);
    void publishNotes(const NoteList &notes);
    void saveNotes();
    // Writes notes that could not be read to a file of their own; false when that failed.
    bool keepAside(const QByteArray &unreadable);
    void takeStoredNotes();

    Services m_services;
    double m_now;
    double m_elapsed;
    // Reloads the zone rules on its own once a minute, at once after refreshTime().
    mutable LocalTime m_localTime;
    bool m_drawerOpen;
    std::optional<Countdown> m_countdown;
    // The context of the one planned wake; replacing it cancels that wake.
    std::unique_ptr<QObject> m_wake;
    bool m_flashing = false;
    NoteList m_notes;
    // The stored bytes that could not be read, kept aside before they are replaced.
    std::optional<QByteArray> m_unreadableNotes;
    // Set while the model writes the list, which it then need not read back.
    bool m_savingNotes = false;
};
