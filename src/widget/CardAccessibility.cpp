#include "widget/CardAccessibility.h"

#include "widget/ClockFace.h"

#include <QAccessibleWidget>

namespace {

// The name is made when a reader asks, so a tick pays nothing for it.
class ClockFaceAccessible : public QAccessibleWidget
{
public:
    explicit ClockFaceAccessible(ClockFace *face)
        : QAccessibleWidget(face, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const ClockFace *>(widget())->spokenText();
        return QAccessibleWidget::text(t);
    }
};

} // namespace

QAccessibleInterface *cardAccessible(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("ClockFace"))
        return new ClockFaceAccessible(static_cast<ClockFace *>(widget));
    if (className == QLatin1String("NoteText"))
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    if (className == QLatin1String("ResizeEdge"))
        return new QAccessibleWidget(widget, QAccessible::Separator);
    return nullptr;
}
