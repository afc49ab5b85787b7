#pragma once

#include "core/InstanceRequest.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The program's exit statuses; the manual page lists them.
namespace ExitStatus {
inline constexpr int success = 0;
// No display to open, the answer to --help or --version could not be written, or this copy
// must not run because it cannot be the only one or cannot reach the one that runs.
inline constexpr int failure = 1;
inline constexpr int usage = 2;
} // namespace ExitStatus

// The command line, read before anything touches the display or a running copy. Without
// arguments the program runs, or shows the card of the copy that runs; one of --toggle,
// --countdown DURATION, --pause and --cancel asks that of the running copy (or of this one,
// when none runs). --help and --version answer and end the run, and anything else ends it with
// a one-line complaint.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    struct Outcome
    {
        bool run = true;
        // When not run: the status to exit with and what to print first.
        int exitStatus = ExitStatus::success;
        QString standardOutput;
        QString standardError;
        // When run: what the running copy is asked, or this one does once it runs.
        InstanceRequest request;
    };

    // arguments leaves out the program's own name.
    static Outcome parse(const QStringList &arguments);
    static QStringList arguments(int argc, const char *const *argv);
    // The launch's activation token from the environment, or empty when it has none that fits.
    static QByteArray activationToken();

    // How much of an unknown argument the complaint repeats.
    static constexpr qsizetype kMaxEchoedLength = 64;
};
