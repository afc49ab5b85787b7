#include "app/CommandLine.h"

#include "core/ApplicationInfo.h"

namespace {

// An argument as the complaint shows it: on one line, and short enough to read.
QString echoed(const QString &argument)
{
    QString shown;
    for (const QChar c : argument.left(CommandLine::kMaxEchoedLength))
        shown += c.isPrint() ? c : QChar(u'?');
    if (argument.size() > CommandLine::kMaxEchoedLength)
        shown += u'…';
    return shown;
}

} // namespace

CommandLine::Outcome CommandLine::parse(const QStringList &arguments)
{
    const QStringList help{QStringLiteral("--help"), QStringLiteral("-h")};
    const QString version = QStringLiteral("--version");
    for (const QString &argument : arguments) {
        if (!help.contains(argument) && argument != version) {
            return {false,
                    ExitStatus::usage,
                    {},
                    tr("orvanta: unknown argument '%1'; try 'orvanta --help'\n").arg(echoed(argument))};
        }
    }
    if (arguments.isEmpty())
        return {};
    // Of --help and --version, the first one given answers.
    if (help.contains(arguments.first())) {
        return {false,
                ExitStatus::success,
                tr("Usage: orvanta [--help | --version]\n"
                   "\n"
                   "Keeps a clock, a countdown and a short notes list on one floating card on the\n"
                   "desktop, with a tray icon and a preferences window. Started again, it shows the\n"
                   "card of the copy that runs. It takes no arguments in normal use.\n"
                   "\n"
                   "  -h, --help     show this text and exit\n"
                   "      --version  show the version and exit\n"
                   "\n"
                   "Settings and notes are kept in $XDG_CONFIG_HOME/orvanta/ (~/.config/orvanta/).\n"
                   "The manual page orvanta(1) says more.\n"),
                {}};
    }
    return {false,
            ExitStatus::success,
            tr("Orvanta %1\n"
               "Copyright (C) 2026 The Orvanta developers\n"
               "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
               "This is free software: you are free to change and redistribute it.\n"
               "There is NO WARRANTY, to the extent permitted by law.\n")
                .arg(QLatin1String(ApplicationInfo::version)),
            {}};
}

QStringList CommandLine::arguments(int argc, const char *const *argv)
{
    QStringList list;
    for (int i = 1; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}
