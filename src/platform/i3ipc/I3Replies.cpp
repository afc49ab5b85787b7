#include "platform/i3ipc/I3Replies.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

// Larger than any output a compositor lays out, small enough for every sum to stay an int.
constexpr double maxCoordinate = 1 << 20;

std::optional<int> coordinate(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    // The range first: converting a double outside int's range is undefined.
    if (!(number >= -maxCoordinate && number <= maxCoordinate) || number != double(int(number)))
        return std::nullopt;
    return int(number);
}

} // namespace

namespace I3Replies {

std::optional<QRect> focusedWorkspaceArea(const QJsonDocument &workspaces)
{
    const QJsonArray list = workspaces.array();
    for (const QJsonValue &entry : list) {
        const QJsonObject workspace = entry.toObject();
        if (!workspace.value(QLatin1String("focused")).toBool())
            continue;
        const QJsonObject rect = workspace.value(QLatin1String("rect")).toObject();
        const auto x = coordinate(rect.value(QLatin1String("x")));
        const auto y = coordinate(rect.value(QLatin1String("y")));
        const auto width = coordinate(rect.value(QLatin1String("width")));
        const auto height = coordinate(rect.value(QLatin1String("height")));
        if (!x || !y || !width || !height || *width <= 0 || *height <= 0)
            return std::nullopt;
        return QRect(*x, *y, *width, *height);
    }
    return std::nullopt;
}

QString commandError(const QJsonDocument &reply)
{
    if (!reply.isArray() || reply.array().isEmpty())
        return QCoreApplication::translate("I3Replies", "the answer to a command is not a list of results");
    for (const QJsonValue &entry : reply.array()) {
        const QJsonObject result = entry.toObject();
        if (result.value(QLatin1String("success")).toBool())
            continue;
        // The compositor's own words, on one line and not too long to read.
        QString reason = result.value(QLatin1String("error")).toString().simplified().left(200);
        return reason.isEmpty() ? QCoreApplication::translate("I3Replies", "a command failed without a reason")
                                : reason;
    }
    return {};
}

QByteArray moveCommand(quint32 windowId, const QPoint &origin, bool sticky)
{
    return QByteArray("[id=") + QByteArray::number(windowId) + "] floating enable, " + (sticky ? "sticky enable, " : "")
        + "move absolute position " + QByteArray::number(origin.x()) + " px " + QByteArray::number(origin.y()) + " px";
}

} // namespace I3Replies
