#include "core/AppModel.h"

#include "core/Clock.h"
#include "core/DurationParser.h"
#include "core/NotesCodec.h"
#include "core/Scheduler.h"
#include "core/SettingsStore.h"
#include "core/SoundPlayer.h"
#include "core/Whitespace.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

const QString kNotesKey = QLatin1String(Keys::notes);
const QString kGlass = QStringLiteral("Glass");
// How far past the moment the face changes a wake lands, so timer rounding never fires it early.
constexpr double kWakeLead = 0.002;

qint64 msecs(double wallTime)
{
    return qint64(std::floor(wallTime * 1000.0));
}

} // namespace

AppModel::AppModel(const Services &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_now(services.clock.now())
    , m_elapsed(services.clock.elapsed())
{
    m_drawerOpen = services.settings.value(Keys::startOpen);

    // Anything stored that is not a readable list, whatever its shape, loads as empty; its
    // bytes are kept in a file of their own at once, so the user hears where they went, or
    // else before the stored value is replaced. The stored bytes are decoded once: five long
    // notes are megabytes.
    const auto data = services.settings.dataValue(kNotesKey);
    if (const auto decoded = data ? NotesCodec::decode(*data) : std::nullopt) {
        m_notes = *decoded;
    } else if (const auto stored = services.settings.storedBytes(kNotesKey)) {
        if (!keepAside(*stored))
            m_unreadableNotes = stored;
    }
    // Seconds shown or not decides how often the model wakes; the face reads the time when
    // the setting changes, so the model takes it first (it was made before the face).
    services.settings.watch(Keys::showSeconds, this, &AppModel::tick);
    services.settings.watch(Keys::notes, this, &AppModel::takeStoredNotes);
    planWake();
}

bool AppModel::sound() const
{
    return m_services.settings.value(Keys::sound);
}

std::optional<double> AppModel::timerEndsAt() const
{
    if (!m_countdown)
        return std::nullopt;
    return m_countdown->startedAt + m_countdown->length;
}

double AppModel::remaining() const
{
    if (!m_countdown)
        return 0.0;
    if (m_countdown->pausedLeft)
        return *m_countdown->pausedLeft;
    // Counted from the length itself, so a fresh start shows exactly what was typed.
    const double left = m_countdown->length - (m_elapsed - m_countdown->startedAt);
    return left >= 0 ? std::min(left, m_countdown->length) : 0.0;
}

void AppModel::setDrawerOpen(bool open)
{
    m_drawerOpen = open;
    emit drawerOpenChanged();
}

void AppModel::setTimerEndsAt(std::optional<double> endsAt)
{
    takeTime();
    if (endsAt) {
        const double length = *endsAt - m_elapsed;
        m_countdown = Countdown{m_elapsed, length >= 0 ? length : 0.0, std::nullopt};
    } else {
        m_countdown.reset();
    }
    emit timerEndsAtChanged();
    planWake();
}

void AppModel::setFlashing(bool flashing)
{
    m_flashing = flashing;
    emit flashingChanged();
}

bool AppModel::startCountdown(const QString &typed)
{
    const auto seconds = parseDuration(typed);
    if (!seconds)
        return false;
    startCountdownFor(*seconds);
    return true;
}

void AppModel::startCountdownFor(double seconds)
{
    takeTime();
    m_countdown = Countdown{m_elapsed, std::clamp(seconds, 1.0, maxCountdown), std::nullopt};
    emit timerEndsAtChanged();
    planWake();
    setDrawerOpen(false);
}

void AppModel::cancelCountdown()
{
    setTimerEndsAt(std::nullopt);
}

void AppModel::togglePause()
{
    if (!m_countdown)
        return;
    takeTime();
    if (m_countdown->pausedLeft) {
        // Goes on as if it had started that much earlier.
        m_countdown->startedAt = m_elapsed - (m_countdown->length - *m_countdown->pausedLeft);
        m_countdown->pausedLeft.reset();
    } else {
        m_countdown->pausedLeft = remaining();
    }
    emit timerEndsAtChanged();
    planWake();
}

double AppModel::delayToNextSecond(double wallTime)
{
    return 1.0 - std::fmod(wallTime, 1.0) + kWakeLead;
}

double AppModel::delayToNextMinute(double localTime)
{
    return 60.0 - std::fmod(localTime, 60.0) + kWakeLead;
}

// The face rounds the time left up, so the next change comes when it falls to the whole
// second below; at the end, that is the end.
double AppModel::delayToNextCountdownSecond(double remaining)
{
    if (!(remaining > 0))
        return kWakeLead;
    return remaining - (std::ceil(remaining) - 1.0) + kWakeLead;
}

double AppModel::delayToNextWake() const
{
    if (m_countdown && !m_countdown->pausedLeft)
        return delayToNextCountdownSecond(remaining());
    if (m_services.settings.value(Keys::showSeconds))
        return delayToNextSecond(m_now);
    return delayToNextMinute(m_now + m_localTime.offsetAt(msecs(m_now)));
}

void AppModel::takeTime()
{
    m_now = m_services.clock.now();
    m_elapsed = m_services.clock.elapsed();
}

void AppModel::planWake()
{
    // The wake planned before, if it has not come yet, is not wanted any more.
    m_wake = std::make_unique<QObject>();
    m_services.scheduler.after(delayToNextWake(), m_wake.get(), [this] { tick(); });
}

void AppModel::tick()
{
    takeTime();
    emit nowChanged();
    if (m_countdown && !m_countdown->pausedLeft && m_elapsed - m_countdown->startedAt >= m_countdown->length) {
        const double length = m_countdown->length;
        m_countdown.reset();
        emit timerEndsAtChanged();
        complete(length);
    }
    planWake();
}

QDateTime AppModel::localNow() const
{
    return m_localTime.at(msecs(m_now));
}

void AppModel::refreshTime()
{
    m_localTime.reload();
    emit timeRefreshed();
    tick();
}

void AppModel::complete(double length)
{
    if (sound())
        m_services.sound.play(kGlass);
    setFlashing(true);
    m_services.scheduler.after(flashDuration, this, [this] { setFlashing(false); });
    emit countdownEnded(length);
}

void AppModel::addNote(const QString &text)
{
    const QString trimmed = Whitespace::trimmed(text);
    if (trimmed.isEmpty() || trimmed.size() > maxNoteLength || m_notes.size() >= maxNotes)
        return;
    NoteList notes = m_notes;
    notes.append(Note{QUuid::createUuid(), trimmed, false});
    publishNotes(notes);
}

void AppModel::toggleNote(const QUuid &id)
{
    NoteList notes = m_notes;
    const auto it = std::find_if(notes.begin(), notes.end(), [&](const Note &n) { return n.id == id; });
    if (it == notes.end())
        return;
    it->done = !it->done;
    publishNotes(notes);
}

void AppModel::deleteNote(const QUuid &id)
{
    NoteList notes = m_notes;
    notes.removeIf([&](const Note &n) { return n.id == id; });
    publishNotes(notes);
}

void AppModel::publishNotes(const NoteList &notes)
{
    m_notes = notes;
    emit notesChanged();
    saveNotes();
}

void AppModel::saveNotes()
{
    // Whatever could not be read is kept in a file of its own before it is replaced;
    // if that fails the stored list stays as it is rather than be lost.
    if (m_unreadableNotes) {
        if (!keepAside(*m_unreadableNotes))
            return;
        m_unreadableNotes.reset();
    }
    m_savingNotes = true;
    m_services.settings.setData(kNotesKey, NotesCodec::encode(m_notes));
    m_savingNotes = false;
}

// The stored list was changed from outside (by hand in the file): it is read as at start. A
// list that cannot be read is kept in a file of its own and replaced by the one shown.
void AppModel::takeStoredNotes()
{
    if (m_savingNotes)
        return;
    const auto stored = m_services.settings.storedBytes(kNotesKey);
    const auto data = m_services.settings.dataValue(kNotesKey);
    const auto decoded = !stored ? std::optional<NoteList>(NoteList())
        : data                   ? NotesCodec::decode(*data)
                                 : std::nullopt;
    if (decoded) {
        m_unreadableNotes.reset();
        m_notes = *decoded;
        emit notesChanged();
    } else if (keepAside(*stored)) {
        m_unreadableNotes.reset();
        saveNotes();
    } else {
        m_unreadableNotes = stored;
    }
}

bool AppModel::keepAside(const QByteArray &unreadable)
{
    return m_services.settings.writeBackup(QStringLiteral("notes"), QStringLiteral(".unreadable"), unreadable);
}
