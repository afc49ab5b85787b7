// Renders the card to a PNG for given settings, width, time and state, so the
// look can be reviewed and compared without running the program.
//
//   orvanta-render-card -o card.png [--theme dark] [--accent red] [--width 220]
//       [--time 2026-12-08T09:05:07] [--countdown SECONDS] [--flashing]
//       [--closed] [--h24] [--no-seconds] [--no-date] [--dark-desktop]
//       [--note TEXT]... [--done-note TEXT]... [--layout boxes.txt] [--language de_DE]

#include "CardLayout.h"
#include "LookOptions.h"
#include "core/AppModel.h"
#include "core/SettingsStore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSoundPlayer.h"
#include "widget/WidgetView.h"

#include <QApplication>
#include <QDateTime>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const LookOptions look;
    look.addTo(parser);
    const QCommandLineOption width(QStringLiteral("width"), QStringLiteral("card width"), QStringLiteral("points"));
    const QCommandLineOption time(QStringLiteral("time"), QStringLiteral("local time, ISO 8601"),
                                  QStringLiteral("time"));
    const QCommandLineOption countdown(QStringLiteral("countdown"), QStringLiteral("seconds left"),
                                       QStringLiteral("seconds"));
    const QCommandLineOption flashing(QStringLiteral("flashing"), QStringLiteral("draw the end-of-countdown flash"));
    const QCommandLineOption closed(QStringLiteral("closed"), QStringLiteral("drawer closed"));
    const QCommandLineOption h24(QStringLiteral("h24"), QStringLiteral("24-hour clock"));
    const QCommandLineOption noSeconds(QStringLiteral("no-seconds"), QStringLiteral("hide seconds"));
    const QCommandLineOption noDate(QStringLiteral("no-date"), QStringLiteral("hide the date"));
    const QCommandLineOption note(QStringLiteral("note"), QStringLiteral("a note"), QStringLiteral("text"));
    const QCommandLineOption doneNote(QStringLiteral("done-note"), QStringLiteral("a checked note"),
                                      QStringLiteral("text"));
    parser.addOptions({width, time, countdown, flashing, closed, h24, noSeconds, noDate, note, doneNote});
    parser.process(app);
    look.requireOutput(parser);
    const auto translations = look.translate(parser);

    QTemporaryDir dir;
    SettingsStore settings(dir.path());
    look.applyTo(parser, settings);
    if (parser.isSet(width))
        settings.setValue(Keys::cardWidth, parser.value(width).toDouble());
    settings.setValue(Keys::h24, parser.isSet(h24));
    settings.setValue(Keys::showSeconds, !parser.isSet(noSeconds));
    settings.setValue(Keys::showDate, !parser.isSet(noDate));
    settings.setValue(Keys::startOpen, !parser.isSet(closed));

    const QDateTime when
        = parser.isSet(time) ? QDateTime::fromString(parser.value(time), Qt::ISODate) : QDateTime::currentDateTime();
    // The picture is one moment: the clock stands still and nothing scheduled ever fires.
    FakeClock clock(when.toMSecsSinceEpoch() / 1000.0);
    FakeScheduler scheduler(clock);
    FakeSoundPlayer sound;
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
    card.setSystemDark(parser.isSet(look.darkDesktop));
    card.setTranslucencyAvailable(true);
    if (parser.isSet(flashing)) {
        model.setTimerEndsAt(clock.now());
        model.tick();
    }
    card.ensurePolished();
    if (!cutToShape(card.grab(), card.outline()).save(parser.value(look.output)))
        return 1;
    return !parser.isSet(look.layout) || saveCardLayout(card, parser.value(look.layout)) ? 0 : 1;
}
