#include "AppModel.h"
#include "SettingsStore.h"
#include "SoundPlayer.h"
#include "SystemClock.h"
#include "TimerScheduler.h"

#include <QApplication>

namespace {
class QuietPlayer final : public SoundPlayer
{
public:
    void play(const QString &) override {}
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Orvanta"));
    app.setQuitOnLastWindowClosed(false);

    SystemClock clock;
    TimerScheduler scheduler;
    QuietPlayer sound;
    SettingsStore settings(SettingsStore::defaultDirectory());
    AppModel model({clock, scheduler, sound, settings});
    return app.exec();
}
