#include "platform/i3ipc/I3Placement.h"

#include "core/PanelPlacement.h"
#include "platform/i3ipc/I3Replies.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

std::unique_ptr<I3Placement> I3Placement::fromEnvironment()
{
    const QString socket = I3IpcClient::socketFromEnvironment();
    if (socket.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    return std::make_unique<I3Placement>(socket);
}

I3Placement::I3Placement(QString socketPath, QObject *parent)
    : QObject(parent)
    , m_client(std::move(socketPath))
{
}

void I3Placement::keepTopRight(QWindow *window)
{
    keep(window, Where::TopRight);
}

void I3Placement::keepCentred(QWindow *window)
{
    keep(window, Where::Centre);
}

void I3Placement::keep(QWindow *window, Where where)
{
    if (!m_windows.contains(window)) {
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, this, [this](QObject *gone) {
            m_windows.remove(gone);
            m_shown.remove(gone);
        });
    }
    m_windows.insert(window, where);
    if (window->isExposed())
        place(window, 1);
}

bool I3Placement::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && m_windows.contains(watched)) {
        m_shown.insert(watched);
    } else if (event->type() == QEvent::Expose && m_shown.contains(watched)) {
        auto *window = static_cast<QWindow *>(watched);
        if (window->isExposed()) {
            m_shown.remove(watched);
            place(window, 1);
        }
    }
    return QObject::eventFilter(watched, event);
}

void I3Placement::place(QWindow *window, int attempt)
{
    const I3IpcClient::Reply workspaces = m_client.request(I3IpcClient::GetWorkspaces, {});
    if (!workspaces.error.isEmpty())
        return report(workspaces.error);
    const std::optional<QRect> area = I3Replies::focusedWorkspaceArea(workspaces.document);
    if (!area)
        return report(tr("no focused workspace with a usable area"));

    // The compositor counts in the X server's pixels.
    const QSize size = (QSizeF(window->size()) * window->devicePixelRatio()).toSize();
    const Where where = m_windows.value(window);
    QPoint origin;
    if (where == Where::TopRight) {
        origin = PanelPlacement::topRightOrigin(*area, size);
    } else {
        QRect frame({}, size);
        frame.moveCenter(area->center());
        origin = frame.topLeft();
    }
    const QByteArray command = I3Replies::moveCommand(quint32(window->winId()), origin, where == Where::TopRight);
    const I3IpcClient::Reply done = m_client.request(I3IpcClient::RunCommand, command);
    if (!done.error.isEmpty())
        return report(done.error);
    const QString failed = I3Replies::commandError(done.document);
    if (failed.isEmpty()) {
        m_reported.clear();
        return;
    }
    if (attempt >= maxTries)
        return report(failed);
    QTimer::singleShot(retryMs, this, [this, target = QPointer<QWindow>(window), attempt] {
        if (target && target->isVisible())
            place(target, attempt + 1);
    });
}

void I3Placement::report(const QString &problem)
{
    // Once per reason, not after every show.
    if (problem == m_reported)
        return;
    m_reported = problem;
    qWarning("%s",
             qPrintable(tr("Orvanta cannot place its windows through the compositor's IPC socket: %1").arg(problem)));
}
