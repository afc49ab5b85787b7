#include "app/CommandLine.h"

#include "core/AppModel.h"
#include "core/ApplicationInfo.h"
#include "core/DurationParser.h"

#include <algorithm>
#include <cmath>

namespace {

using Kind = InstanceRequest::Kind;

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

CommandLine::Outcome refused(const QString &complaint)
{
    return {false, ExitStatus::usage, {}, complaint, {}};
}

const QString countdownOption = QStringLiteral("--countdown");

} // namespace

CommandLine::Outcome CommandLine::parse(const QStringList &arguments)
{
    const QStringList help{QStringLiteral("--help"), QStringLiteral("-h")};
    const QString version = QStringLiteral("--version");
    const QList<std::pair<QString, Kind>> actions{{QStringLiteral("--toggle"), Kind::Toggle},
                                                  {countdownOption, Kind::Countdown},
                                                  {QStringLiteral("--pause"), Kind::Pause},
                                                  {QStringLiteral("--cancel"), Kind::Cancel}};
    QString answer;
    QString action;
    Outcome outcome;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (help.contains(argument) || argument == version) {
            if (answer.isEmpty())
                answer = argument;
            continue;
        }
        // The duration may also follow an equals sign, as GNU programs allow.
        const bool countdownWithValue = argument.startsWith(countdownOption + u'=');
        const QString option = countdownWithValue ? countdownOption : argument;
        const auto known
            = std::find_if(actions.begin(), actions.end(), [&](const auto &a) { return a.first == option; });
        if (known == actions.end())
            return refused(tr("orvanta: unknown argument '%1'; try 'orvanta --help'\n").arg(echoed(argument)));
        if (!action.isEmpty()) {
            return refused(
                tr("orvanta: '%1' and '%2' cannot be given together; try 'orvanta --help'\n").arg(action, option));
        }
        action = option;
        outcome.request.kind = known->second;
        if (known->second != Kind::Countdown)
            continue;
        if (!countdownWithValue && i + 1 == arguments.size())
            return refused(tr("orvanta: --countdown needs a duration, such as 25, 4:30 or 1:00:00\n"));
        const QString duration = countdownWithValue ? argument.sliced(countdownOption.size() + 1) : arguments.at(++i);
        // The timer field's rules: minutes, m:ss or h:mm:ss, at least a second, at most a day.
        const auto seconds = parseDuration(duration);
        if (!seconds) {
            return refused(tr("orvanta: --countdown '%1' is not a duration; give minutes, m:ss or h:mm:ss, such as "
                              "25, 4:30 or 1:00:00\n")
                               .arg(echoed(duration)));
        }
        outcome.request.seconds = int(std::min(*seconds, AppModel::maxCountdown));
    }
    if (answer.isEmpty())
        return outcome;
    if (help.contains(answer)) {
        return {false,
                ExitStatus::success,
                tr("Usage: orvanta [--toggle | --countdown DURATION | --pause | --cancel]\n"
                   "       orvanta --help | --version\n"
                   "\n"
                   "Keeps a clock, a countdown and a short notes list on one floating card on the\n"
                   "desktop, with a tray icon and a preferences window. Started again, it shows the\n"
                   "card of the copy that runs and gives it the keyboard; with an option, it asks\n"
                   "that copy to do what the option says. When no copy runs, it starts with that done.\n"
                   "\n"
                   "      --toggle              hide the card, or show it\n"
                   "      --countdown DURATION  start a countdown of minutes, m:ss or h:mm:ss, such as\n"
                   "                            25, 4:30 or 1:00:00 (at most 24 hours)\n"
                   "      --pause               pause the countdown, or resume it when paused\n"
                   "      --cancel              end the countdown\n"
                   "  -h, --help                show this text and exit\n"
                   "      --version             show the version and exit\n"
                   "\n"
                   "Settings and notes are kept in $XDG_CONFIG_HOME/orvanta/ (~/.config/orvanta/).\n"
                   "The manual page orvanta(1) says more.\n"),
                {},
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
            {},
            {}};
}

QStringList CommandLine::arguments(int argc, const char *const *argv)
{
    QStringList list;
    for (int i = 1; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

QByteArray CommandLine::activationToken()
{
    // Wayland's token, or the X11 startup notification id that launchers set.
    for (const char *name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        const QByteArray token = InstanceRequest::acceptedToken(qgetenv(name));
        if (!token.isEmpty())
            return token;
    }
    return {};
}
