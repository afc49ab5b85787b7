#include "core/AppModel.h"

#include "core/Clock.h"
#include "core/DurationParser.h"
#include "core/NotesCodec.h"
#include "core/Scheduler.h"
#include "core/SettingsStore.h"
#include "core/SoundPlayer.h"
#include "core/Whitespace.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kNotesKey = QLatin1String(Keys::notes);
const QString kGlass = QStringLiteral("Glass");
// How far past the half second a tick lands, so timer rounding never fires it early.
constexpr double kTickLead = 0.002;

} // namespace

AppModel::AppModel(const Services &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_now(services.clock.now())
{
    m_drawerOpen = services.settings.value(Keys::startOpen);

    // Anything stored that is not a readable list, whatever its shape, loads as empty; its
    // bytes are kept for saveNotes.
    if (const auto stored = services.settings.storedBytes(kNotesKey)) {
        const auto data = services.settings.dataValue(kNotesKey);
        const auto decoded = data ? NotesCodec::decode(*data) : std::nullopt;
        if (decoded)
            m_notes = *decoded;
        else
            m_unreadableNotes = stored;
    }
    scheduleTick();
}

bool AppModel::sound() const
{
    return m_services.settings.value(Keys::sound);
}

double AppModel::remaining() const
{
    const double left = m_timerEndsAt.value_or(m_now) - m_now;
    return left >= 0 ? left : 0.0;
}

void AppModel::setDrawerOpen(bool open)
{
    m_drawerOpen = open;
    emit drawerOpenChanged();
}

void AppModel::setTimerEndsAt(std::optional<double> endsAt)
{
    m_timerEndsAt = endsAt;
    emit timerEndsAtChanged();
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
    setTimerEndsAt(m_services.clock.now() + std::clamp(*seconds, 1.0, maxCountdown));
    setDrawerOpen(false);
    return true;
}

double AppModel::delayToNextTick(double t)
{
    return tickInterval - std::fmod(t, tickInterval) + kTickLead;
}

void AppModel::scheduleTick()
{
    m_services.scheduler.after(delayToNextTick(m_services.clock.now()), this, [this] {
        tick();
        scheduleTick();
    });
}

void AppModel::tick()
{
    m_now = m_services.clock.now();
    emit nowChanged();
    if (m_timerEndsAt && m_now >= *m_timerEndsAt) {
        setTimerEndsAt(std::nullopt);
        complete();
    }
}

void AppModel::complete()
{
    if (sound())
        m_services.sound.play(kGlass);
    setFlashing(true);
    m_services.scheduler.after(flashDuration, this, [this] { setFlashing(false); });
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
        if (!m_services.settings.writeBackup(QStringLiteral("notes"), QStringLiteral(".unreadable"),
                                             *m_unreadableNotes))
            return;
        m_unreadableNotes.reset();
    }
    m_services.settings.setData(kNotesKey, NotesCodec::encode(m_notes));
}
