#pragma once

#include "core/LoginItemService.h"

#include <QByteArray>
#include <QString>

// Launch at login through an XDG autostart entry, $XDG_CONFIG_HOME/autostart/orvanta.desktop.
// The program counts as registered exactly when that file is a desktop entry the session
// would start: it exists, parses, has a command, and is not switched off (Hidden=true or
// X-GNOME-Autostart-enabled=false, which is how desktop settings tools disable an entry).
class AutostartEntry final : public LoginItemService
{
public:
    // The entry for the running executable.
    AutostartEntry();
    explicit AutostartEntry(const QString &executable);

    // Resolved when the entry is made, so it follows XDG_CONFIG_HOME.
    QString filePath() const { return m_filePath; }

    bool isEnabled() const override;
    // Writes the entry atomically, replacing a disabled one; removing a missing entry succeeds.
    bool setEnabled(bool enabled) override;

    // The file that registering writes for executable.
    static QByteArray contents(const QString &executable);
    static bool isEnabledEntry(const QByteArray &contents);

private:
    QString m_filePath;
    QString m_executable;
};

// The value of an Exec key that runs path with no arguments, as it is written in the file:
// quoted as an argument where needed, with '%' doubled, and then escaped as a string value.
QString desktopExecQuote(const QString &path);
