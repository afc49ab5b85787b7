#include "CardLayout.h"

#include "LayoutFile.h"
#include "widget/ClockFace.h"
#include "widget/DrawerContainer.h"
#include "widget/GripRow.h"
#include "widget/NoteRow.h"
#include "widget/NoteText.h"
#include "widget/NotesPane.h"
#include "widget/ResizeEdge.h"
#include "widget/RoundButton.h"
#include "widget/SymbolButton.h"
#include "widget/TimerPane.h"
#include "widget/WidgetView.h"

#include <QLineEdit>

bool saveCardLayout(const WidgetView &card, const QString &path)
{
    LayoutFile layout(card);
    layout.add(QStringLiteral("card"), &card);

    const ClockFace *face = card.clockFace();
    layout.add(QStringLiteral("face"), face);
    layout.add(QStringLiteral("digits"), face, face->digitsRect());
    if (face->ampmShown()) {
        layout.add(QStringLiteral("am"), face, face->ampmRect(false));
        layout.add(QStringLiteral("pm"), face, face->ampmRect(true));
    }
    if (face->dateShown())
        layout.add(QStringLiteral("date"), face, face->dateRect());
    layout.add(QStringLiteral("cancel"), face->cancelButton());
    layout.add(QStringLiteral("edge"), card.resizeEdge());

    const DrawerContainer *drawer = card.drawer();
    int n = 0;
    for (const QRect &divider : drawer->dividers())
        layout.add(QStringLiteral("divider%1").arg(++n), drawer, divider);
    const QLineEdit *timer = drawer->timerPane()->field();
    layout.add(QStringLiteral("timer-field"), timer->parentWidget());
    layout.add(QStringLiteral("timer-text"), timer);
    const NotesPane *notes = drawer->notesPane();
    layout.add(QStringLiteral("notes-field"), notes->field()->parentWidget());
    layout.add(QStringLiteral("notes-text"), notes->field());
    n = 0;
    for (const NoteRow *row : notes->rows()) {
        const QString name = QStringLiteral("note%1").arg(++n);
        layout.add(name, row);
        layout.add(name + QStringLiteral("-check"), row->checkMark());
        layout.add(name + QStringLiteral("-text"), row->textView());
        layout.add(name + QStringLiteral("-cross"), row->deleteButton());
    }
    layout.add(QStringLiteral("grip"), card.gripRow());
    return layout.save(path);
}
