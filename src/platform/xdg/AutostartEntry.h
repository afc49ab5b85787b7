#pragma once

#include "core/LoginItemService.h"

#include <QByteArray>
#include <QString>

// Launch at login through an XDG autostart entry, $XDG_CONFIG_HOME/autostart/<application id>.desktop.
// Earlier builds wrote autostart/orvanta.desktop, which the session still starts: it is read as
// well, and both are removed when the switch is turned off. The program counts as registered
// exactly when the session would start this very executable from one of them: the entry is a
// regular file (nothing else is opened, so a named pipe in its place holds nothing up), parses,
// is not switched off (Hidden=true or X-GNOME-Autostart-enabled=false, which is how desktop
// settings tools disable an entry), its TryExec program is there, and its Exec program is this
// executable. An entry that starts another copy (a build folder, a moved program) reads as off,
// and turning the switch on points it here. TryExec makes a session skip the entry silently once
// the program is removed.
class AutostartEntry final : public LoginItemService
{
public:
    // The entry for the running executable.
    AutostartEntry();
    explicit AutostartEntry(const QString &executable);

    // Resolved when the entry is made, so they follow XDG_CONFIG_HOME.
    QString filePath() const { return m_filePath; }
    QString legacyFilePath() const { return m_legacyFilePath; }

    bool isEnabled() const override;
    // Turning it on writes the entry atomically, replacing a disabled or outdated one, and
    // removes the legacy entry; turning it off removes both. Removing a missing entry succeeds.
    bool setEnabled(bool enabled) override;

    // The file that registering writes for executable.
    static QByteArray contents(const QString &executable);
    static bool isEnabledEntry(const QByteArray &contents);
    // The program an entry runs: the first word of its Exec value with the escapes and
    // quoting of a desktop entry undone; empty when there is none.
    static QString program(const QByteArray &contents);

    // Longer files are no entry this program wrote, and are not read.
    static constexpr qint64 kMaxEntrySize = 64 * 1024;

private:
    QString m_filePath;
    QString m_legacyFilePath;
    QString m_executable;
};

// The value of an Exec key that runs path with no arguments, as it is written in the file:
// quoted as an argument where needed, with '%' doubled, and then escaped as a string value.
QString desktopExecQuote(const QString &path);
