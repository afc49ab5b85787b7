#pragma once

#include "core/Note.h"

#include <QObject>

#include <optional>

class Clock;
class Scheduler;
class SettingsStore;
class SoundPlayer;

// The program's one model: the ticking time, the single countdown, the flash
// after it ends, the drawer's settled state and the notes list. Every
// assignment of a published property is announced, even of an unchanged value.
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
    static constexpr double tickInterval = 0.5;
    static constexpr double flashDuration = 1.4;
    static constexpr double maxCountdown = 86'400;

    // Reads "startOpen" and the stored notes, and starts ticking.
    explicit AppModel(const Services &services, QObject *parent = nullptr);

    double now() const { return m_now; }
    bool drawerOpen() const { return m_drawerOpen; }
    std::optional<double> timerEndsAt() const { return m_timerEndsAt; }
    bool flashing() const { return m_flashing; }
    const NoteList &notes() const { return m_notes; }
    // Read from the settings at every use, so a change applies to the next completion.
    bool sound() const;

    bool isRunning() const { return m_timerEndsAt.has_value(); }
    // Seconds left against the last tick; never negative.
    double remaining() const;

    void setDrawerOpen(bool open);
    void setTimerEndsAt(std::optional<double> endsAt);

    // Starts the countdown the user typed, limited to 1 s to a day and counted from the
    // wall clock (not the last tick), and closes the drawer; a new start replaces a
    // running countdown. False, with nothing changed, when the text is not a duration.
    bool startCountdown(const QString &typed);

    // Adds the text, trimmed, as a new note; nothing when it is blank, longer than
    // maxNoteLength or the list is full.
    void addNote(const QString &text);
    void toggleNote(const QUuid &id);
    void deleteNote(const QUuid &id);

    // One beat of the ticker: takes the time and completes an ended countdown.
    void tick();

    // Delay from t to just past the next wall-clock half second, which keeps the
    // shown seconds in step with the wall clock.
    static double delayToNextTick(double t);

signals:
    void nowChanged();
    void drawerOpenChanged();
    void timerEndsAtChanged();
    void flashingChanged();
    void notesChanged();

private:
    void scheduleTick();
    void complete();
    void setFlashing(bool flashing);
    void publishNotes(const NoteList &notes);
    void saveNotes();

    Services m_services;
    double m_now;
    bool m_drawerOpen;
    std::optional<double> m_timerEndsAt;
    bool m_flashing = false;
    NoteList m_notes;
    // The stored bytes that could not be read, kept aside before they are replaced.
    std::optional<QByteArray> m_unreadableNotes;
};
