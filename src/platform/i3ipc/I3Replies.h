#pragma once

#include <QCoreApplication>
#include <QJsonDocument>
#include <QRect>
#include <QString>

#include <optional>

// What the program reads from i3 and sway's replies, and the commands it sends them.
namespace I3Replies {

// The usable area (without bars) of the focused workspace, from a GET_WORKSPACES reply;
// nothing when no workspace is focused or its rectangle is not a sane one.
std::optional<QRect> focusedWorkspaceArea(const QJsonDocument &workspaces);

// Empty when every command of a RUN_COMMAND reply succeeded; otherwise the first reason given.
QString commandError(const QJsonDocument &reply);

// Makes the X11 window floating and puts its top-left corner at origin; sticky, it shows on
// every workspace of its output.
QByteArray moveCommand(quint32 windowId, const QPoint &origin, bool sticky);

} // namespace I3Replies
