#include "widget/CardAccessibility.h"

#include "widget/ClockFace.h"
#include "widget/NoteRow.h"
#include "widget/SymbolButton.h"

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

// A note row holds its check box, named by the note, and its cross. The text beside them is
// that name again: a reader would hear it twice, so the row leaves it out of its children.
class NoteRowAccessible : public QAccessibleWidget
{
public:
    explicit NoteRowAccessible(NoteRow *row)
        : QAccessibleWidget(row, QAccessible::Grouping)
    {
    }

    int childCount() const override { return int(parts().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> parts = this->parts();
        return index >= 0 && index < parts.size() ? QAccessible::queryAccessibleInterface(parts.at(index)) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(parts().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
    }

private:
    QList<QWidget *> parts() const
    {
        const auto *row = static_cast<const NoteRow *>(widget());
        return {row->checkMark(), row->deleteButton()};
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
    if (className == QLatin1String("NoteRow"))
        return new NoteRowAccessible(static_cast<NoteRow *>(widget));
    if (className == QLatin1String("ResizeEdge"))
        return new QAccessibleWidget(widget, QAccessible::Separator);
    return nullptr;
}
