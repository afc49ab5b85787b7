#include "core/InstanceRequest.h"

#include "core/AppModel.h"

#include <array>
#include <utility>

namespace {

using Kind = InstanceRequest::Kind;

constexpr std::array<std::pair<Kind, QByteArrayView>, 5> kVerbs{{
    {Kind::Show, "show"},
    {Kind::Toggle, "toggle"},
    {Kind::Countdown, "countdown"},
    {Kind::Pause, "pause"},
    {Kind::Cancel, "cancel"},
}};

bool takesToken(Kind kind)
{
    return kind == Kind::Show || kind == Kind::Toggle;
}

// Plain decimal without sign or leading zero, within 1 to the longest countdown.
std::optional<int> countdownSeconds(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 5 || text.front() == '0')
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > AppModel::maxCountdown)
        return std::nullopt;
    return value;
}

} // namespace

QByteArray InstanceRequest::acceptedToken(QByteArrayView token)
{
    if (token.size() > kMaxTokenLength)
        return {};
    for (const char c : token) {
        if (c <= ' ' || c > '~')
            return {};
    }
    return token.toByteArray();
}

quint32 InstanceRequest::startupTime(QByteArrayView token)
{
    const qsizetype at = token.lastIndexOf(QByteArrayView("_TIME"));
    if (at < 0)
        return 0;
    const QByteArrayView digits = token.sliced(at + 5);
    if (digits.isEmpty() || digits.size() > 10)
        return 0;
    quint64 time = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        time = time * 10 + quint64(c - '0');
    }
    return time <= 0xFFFFFFFFu ? quint32(time) : 0;
}

QByteArray InstanceRequest::encode() const
{
    QByteArray line;
    for (const auto &[verb, word] : kVerbs) {
        if (verb == kind)
            line = word.toByteArray();
    }
    if (kind == Kind::Countdown)
        line += ' ' + QByteArray::number(seconds);
    const QByteArray token = acceptedToken(activationToken);
    if (takesToken(kind) && !token.isEmpty())
        line += ' ' + token;
    return line + '\n';
}

std::optional<InstanceRequest> InstanceRequest::decode(QByteArrayView line)
{
    const qsizetype space = line.indexOf(' ');
    const QByteArrayView word = space < 0 ? line : line.first(space);
    const std::optional<QByteArrayView> argument
        = space < 0 ? std::nullopt : std::optional<QByteArrayView>(line.sliced(space + 1));
    for (const auto &[kind, verb] : kVerbs) {
        if (word != verb)
            continue;
        InstanceRequest request;
        request.kind = kind;
        if (kind == Kind::Countdown) {
            const auto seconds = argument ? countdownSeconds(*argument) : std::nullopt;
            if (!seconds)
                return std::nullopt;
            request.seconds = *seconds;
        } else if (argument) {
            if (!takesToken(kind))
                return std::nullopt;
            request.activationToken = acceptedToken(*argument);
            if (request.activationToken.isEmpty())
                return std::nullopt;
        }
        return request;
    }
    return std::nullopt;
}
