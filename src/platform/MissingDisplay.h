#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Why no window can be opened, judged from the environment before the application object is
// made: Qt aborts the process when its platform plugin finds no display. Only the cases that
// surely fail are judged, X11 chosen or left to the default with no display named; any other
// platform Qt is asked to use is left for Qt to try. Call it after preferXWayland().
std::optional<QString> missingDisplay(const QByteArray &qpaPlatform, const QByteArray &display,
                                      const QByteArray &waylandDisplay);
std::optional<QString> missingDisplay();
