#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// What a later launch asks of the running copy, one line through its pipe:
//
//   show [TOKEN]        show the card and give it the keyboard
//   toggle [TOKEN]      hide the card, or show it as "show" does
//   countdown SECONDS   start a countdown of 1 to 86400 whole seconds
//   pause               pause the running countdown, or resume a paused one
//   cancel              end the countdown without a chime
//
// TOKEN is the launch's activation token (XDG_ACTIVATION_TOKEN or DESKTOP_STARTUP_ID), with
// which the desktop lets the card take the keyboard from whatever had it. Every line is
// short enough to be written to a pipe whole; anything else is not a request.
struct InstanceRequest
{
    enum class Kind { Show, Toggle, Countdown, Pause, Cancel };

    Kind kind = Kind::Show;
    // Countdown only: whole seconds, 1 to AppModel::maxCountdown.
    int seconds = 0;
    // Show and Toggle only; may be empty.
    QByteArray activationToken;

    static constexpr qsizetype kMaxTokenLength = 256;
    // The longest line encode() makes, its line break included.
    static constexpr qsizetype kMaxLineLength = 16 + kMaxTokenLength;

    // The line, ending in a line break. A token that is not one (too long, or not printable
    // ASCII without spaces) is left out.
    QByteArray encode() const;
    // A line without its line break; nothing when it is not exactly a request.
    static std::optional<InstanceRequest> decode(QByteArrayView line);
    // The token as the environment hands it in, or empty when it is not one.
    static QByteArray acceptedToken(QByteArrayView token);
    // The X server time of a startup notification id ("..._TIME<time>"), or 0 when it has none.
    static quint32 startupTime(QByteArrayView token);

    friend bool operator==(const InstanceRequest &, const InstanceRequest &) = default;
};
