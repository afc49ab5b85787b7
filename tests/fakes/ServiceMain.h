#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <cstdio>
#include <functional>
#include <unistd.h>

// The end of a fake desktop service's main(): owns the service's name and object on the bus,
// says "ready" and then hands each line of its standard input to command until that input
// ends. Returns the exit status.
inline int runService(QCoreApplication &app, QDBusConnection bus, const QString &service, const QString &path,
                      QObject *object, const std::function<void(const QByteArray &)> &command)
{
    if (!bus.registerObject(path, object, QDBusConnection::ExportAllSlots) || !bus.registerService(service)) {
        std::fprintf(stderr, "fake service: cannot own %s\n", qPrintable(service));
        return 1;
    }
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, got);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            command(pending.left(end));
            pending.remove(0, end + 1);
        }
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
