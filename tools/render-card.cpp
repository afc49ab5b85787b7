// Renders the card to a PNG for given settings, width, time and state, so the
// look can be reviewed and compared without running the program.
//
//   orvanta-render-card -o card.png [--theme dark] [--accent red] [--width 220]
//       [--time 2026-12-08T09:05:07] [--countdown SECONDS] [--flashing]
//       [--closed] [--h24] [--no-seconds] [--no-date] [--dark-desktop]
//       [--note TEXT]... [--done-note TEXT]...

#include "AppModel.h"
#include "Clock.h"
#include "Scheduler.h"
#include "SettingsStore.h"
#include "SoundPlayer.h"
#include "WidgetView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QTemporaryDir>

namespace {

class FixedClock final : public Clock
{
public:
    explicit FixedClock(double t) : m_t(t) {}
    double now() const override { return m_t; }

private:
    double m_t;
};

// Nothing is scheduled: the picture is one moment.
class StillScheduler final : public Scheduler
{
public:
    void after(double, QObject *, std::function<void()>) override {}
};

class MuteSound final : public SoundPlayer
{
public:
    void play(const QString &) override {}
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption out({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("PNG file"), QStringLiteral("file"));
    const QCommandLineOption theme(QStringLiteral("theme"), QStringLiteral("theme setting"), QStringLiteral("name"));
    const QCommandLineOption accent(QStringLiteral("accent"), QStringLiteral("accent setting"), QStringLiteral("name"));
    const QCommandLineOption width(QStringLiteral("width"), QStringLiteral("card width"), QStringLiteral("points"));
    const QCommandLineOption time(QStringLiteral("time"), QStringLiteral("local time, ISO 8601"), QStringLiteral("time"));
    const QCommandLineOption countdown(QStringLiteral("countdown"), QStringLiteral("seconds left"), QStringLiteral("seconds"));
    const QCommandLineOption flashing(QStringLiteral("flashing"), QStringLiteral("draw the end-of-countdown flash"));
    const QCommandLineOption closed(QStringLiteral("closed"), QStringLiteral("drawer closed"));
    const QCommandLineOption h24(QStringLiteral("h24"), QStringLiteral("24-hour clock"));
    const QCommandLineOption noSeconds(QStringLiteral("no-seconds"), QStringLiteral("hide seconds"));
    const QCommandLineOption noDate(QStringLiteral("no-date"), QStringLiteral("hide the date"));
    const QCommandLineOption darkDesktop(QStringLiteral("dark-desktop"), QStringLiteral("desktop in dark mode"));
    const QCommandLineOption note(QStringLiteral("note"), QStringLiteral("a note"), QStringLiteral("text"));
    const QCommandLineOption doneNote(QStringLiteral("done-note"), QStringLiteral("a checked note"), QStringLiteral("text"));
    parser.addOptions({out, theme, accent, width, time, countdown, flashing, closed, h24, noSeconds, noDate,
                       darkDesktop, note, doneNote});
    parser.process(app);
    if (!parser.isSet(out))
        parser.showHelp(2);

    QTemporaryDir dir;
    SettingsStore settings(dir.path());
    if (parser.isSet(theme))
        settings.setValue(Keys::theme, parser.value(theme));
    if (parser.isSet(accent))
        settings.setValue(Keys::accent, parser.value(accent));
    if (parser.isSet(width))
        settings.setValue(Keys::cardWidth, parser.value(width).toDouble());
    settings.setValue(Keys::h24, parser.isSet(h24));
    settings.setValue(Keys::showSeconds, !parser.isSet(noSeconds));
    settings.setValue(Keys::showDate, !parser.isSet(noDate));
    settings.setValue(Keys::startOpen, !parser.isSet(closed));

    const QDateTime when = parser.isSet(time) ? QDateTime::fromString(parser.value(time), Qt::ISODate)
                                              : QDateTime::currentDateTime();
    FixedClock clock(when.toMSecsSinceEpoch() / 1000.0);
    StillScheduler scheduler;
    MuteSound sound;
    AppModel model({clock, scheduler, sound, settings});
    for (const QString &text : parser.values(note))
        model.addNote(text);
    for (const QString &text : parser.values(doneNote)) {
        model.addNote(text);
        model.toggleNote(model.notes().last().id);
    }
    if (parser.isSet(countdown))
        model.setTimerEndsAt(clock.now() + parser.value(countdown).toDouble());

    WidgetView card(model, settings, scheduler);
    card.setSystemDark(parser.isSet(darkDesktop));
    card.setTranslucencyAvailable(true);
    if (parser.isSet(flashing)) {
        model.setTimerEndsAt(clock.now());
        model.tick();
    }
    card.ensurePolished();
    return card.grab().save(parser.value(out)) ? 0 : 1;
}
