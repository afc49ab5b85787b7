#include "widget/NotesPane.h"

#include "appearance/FocusRing.h"
#include "appearance/Fonts.h"
#include "core/AppModel.h"
#include "core/CardMetrics.h"
#include "widget/FieldFrame.h"
#include "widget/NoteRow.h"
#include "widget/NoteText.h"
#include "widget/SymbolButton.h"

#include <QApplication>
#include <QLineEdit>
#include <QMultiHash>
#include <QPainter>
#include <QPainterPath>
#include <QTimerEvent>
#include <QToolTip>
#include <QValidator>

#include <algorithm>
#include <limits>

namespace {

// Refuses a text past the longest note. The field itself is left without a limit: it would
// cut a longer paste short there on its own, silently, and QLineEdit cuts a paste in time that
// grows with the square of the limit.
class NoteLengthValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        return input.size() > AppModel::maxNoteLength ? Invalid : Acceptable;
    }
};

} // namespace

NotesPane::NotesPane(AppModel &model, qreal scale, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_field(new FieldFrame(this))
{
    m_field->setPlaceholder(tr("Add a note…"), Qt::AlignLeft);
    m_field->lineEdit()->setAccessibleName(tr("New note"));
    connect(m_field->lineEdit(), &QLineEdit::returnPressed, this, &NotesPane::submit);
    // Too long a paste or keystroke leaves the field as it was, and says why.
    m_field->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    m_field->lineEdit()->setValidator(new NoteLengthValidator(m_field->lineEdit()));
    connect(m_field->lineEdit(), &QLineEdit::inputRejected, this, &NotesPane::refuseTooLong);
    connect(&m_model, &AppModel::notesChanged, this, &NotesPane::syncRows);
    setScale(scale);
    syncRows();
}

QLineEdit *NotesPane::field() const
{
    return m_field->lineEdit();
}

QLabel *NotesPane::placeholder() const
{
    return m_field->placeholder();
}

void NotesPane::setScale(qreal k)
{
    m_scale = k;
    using namespace CardMetrics;
    const QFont font = systemFont(scaled(kBodyText, k));
    m_field->setMetrics(scaled(kNoteFieldPaddingX, k), scaled(kNoteFieldPaddingY, k), scaled(kFieldRadius, k), font);
    for (NoteRow *row : std::as_const(m_rows))
        row->setLook(k, m_palette);
    placeChildren();
}

void NotesPane::setCardPalette(const Palette &palette)
{
    m_palette = palette;
    m_field->setColors(palette);
    for (NoteRow *row : std::as_const(m_rows))
        row->setLook(m_scale, palette);
}

void NotesPane::submit()
{
    m_model.addNote(field()->text());
    field()->clear();
}

void NotesPane::refuseTooLong()
{
    QApplication::beep();
    QLineEdit *edit = field();
    QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())),
                       tr("Too long for a note: %L1 characters at most").arg(AppModel::maxNoteLength), edit);
}

qsizetype NotesPane::focusedRow() const
{
    const QWidget *focus = window()->focusWidget();
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (focus && m_rows.at(i)->isAncestorOf(focus))
            return i;
    }
    return -1;
}

void NotesPane::syncRows()
{
    const NoteList &notes = m_model.notes();
    const qsizetype focused = focusedRow();
    NoteRow *withFocus = focused >= 0 ? m_rows.at(focused) : nullptr;
    // Rows keep their identity by note id; the list may in principle repeat an id.
    QMultiHash<QUuid, NoteRow *> spare;
    for (NoteRow *row : std::as_const(m_rows)) {
        spare.insert(row->id(), row);
    }
    m_rows.clear();
    NoteRow *added = nullptr;
    for (const Note &note : notes) {
        NoteRow *row = spare.take(note.id);
        if (!row) {
            row = added = new NoteRow(this);
            row->setLook(m_scale, m_palette);
            connect(row, &NoteRow::toggleRequested, &m_model, &AppModel::toggleNote);
            connect(row, &NoteRow::deleteRequested, &m_model, &AppModel::deleteNote);
            for (SymbolButton *button : {row->checkMark(), row->deleteButton()})
                connect(button, &KeyboardButton::focusRingChanged, this, qOverload<>(&QWidget::update));
        }
        row->setNote(note);
        m_rows.append(row);
    }
    // Tab goes down the list: the field, then each row's check mark and cross.
    QWidget *previous = field();
    for (NoteRow *row : std::as_const(m_rows)) {
        QWidget::setTabOrder(previous, row->checkMark());
        QWidget::setTabOrder(row->checkMark(), row->deleteButton());
        previous = row->deleteButton();
    }
    // The keyboard moves on before its row goes, so that nothing else catches it on the way.
    if (withFocus && !m_rows.contains(withFocus)) {
        if (m_rows.isEmpty())
            emit focusOrphaned(field());
        else
            emit focusOrphaned(m_rows.at(std::min(focused, m_rows.size() - 1))->checkMark());
    }
    // Deleted later, not now: the row's own cross may be the one that asked.
    for (NoteRow *row : std::as_const(spare)) {
        row->hide();
        row->deleteLater();
    }
    // Placed before they show: a row shown without a size measures itself at a guessed width.
    placeChildren();
    for (NoteRow *row : std::as_const(m_rows))
        row->show();
    // Five notes fill the list: the field takes no more until one goes. The keyboard that
    // added the fifth goes on to its check mark, not to wherever Qt would send it.
    const bool full = notes.size() >= AppModel::maxNotes;
    if (full && added && field()->hasFocus())
        emit focusOrphaned(added->checkMark());
    m_field->setEnabled(!full);
}

// Rows are stacked by hand: their heights depend on the width through wrapping,
// which the pane knows exactly, so nothing waits for a layout pass. Measuring and
// placing share this one routine; place is called with each child's box.
template<typename Place>
int NotesPane::layOut(int width, Place place) const
{
    using namespace CardMetrics;
    const int side = scaledPixels(kPaneSide, m_scale);
    const int inner = width - 2 * side;
    int y = scaledPixels(kPaneTop, m_scale);
    const int fieldHeight = m_field->sizeHint().height();
    place(m_field, QRect(side, y, inner, fieldHeight));
    y += fieldHeight;
    for (NoteRow *row : m_rows) {
        y += scaledPixels(kNotesSpacing, m_scale);
        const int height = row->heightAt(inner);
        place(row, QRect(side, y, inner, height));
        y += height;
    }
    return y + scaledPixels(kNotesBottom, m_scale);
}

int NotesPane::naturalHeight(int width) const
{
    return layOut(width, [](QWidget *, const QRect &) {});
}

int NotesPane::shortestView() const
{
    using namespace CardMetrics;
    return scaledPixels(kPaneTop, m_scale) + m_field->sizeHint().height() + scaledPixels(kNotesBottom, m_scale);
}

void NotesPane::placeChildren()
{
    // Until the drawer gives the pane its width, any width is a guess, and long notes are
    // costly to measure at it. The rows still get a size, so that showing them measures nothing.
    if (!testAttribute(Qt::WA_Resized)) {
        for (NoteRow *row : std::as_const(m_rows))
            row->setGeometry(QRect());
        return;
    }
    layOut(width(), [](QWidget *child, const QRect &box) { child->setGeometry(box); });
}

void NotesPane::resizeEvent(QResizeEvent *)
{
    placeChildren();
}

void NotesPane::paintEvent(QPaintEvent *)
{
    // A long note shows its first lines at once; its height is an estimate until the rest of
    // its lines are counted, which happens here between other events.
    const bool unmeasured
        = std::any_of(m_rows.cbegin(), m_rows.cend(), [](const NoteRow *row) { return !row->textView()->measured(); });
    if (unmeasured && !m_measuring.isActive())
        m_measuring.start(0, this);
    for (const NoteRow *row : std::as_const(m_rows)) {
        for (const SymbolButton *button : {row->checkMark(), row->deleteButton()}) {
            if (!button->showsFocusRing())
                continue;
            QPainterPath ring;
            ring.addEllipse(QRectF(button->mapTo(this, QPoint()), button->size()).adjusted(-3, -3, 3, 3));
            QPainter painter(this);
            paintFocusRing(painter, ring, focusColor(this));
        }
    }
}

void NotesPane::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_measuring.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    for (NoteRow *row : std::as_const(m_rows)) {
        NoteText *text = row->textView();
        if (text->measured() || text->width() == 0)
            continue;
        if (!text->measureMore()) {
            placeChildren();
            emit naturalHeightChanged();
        }
        return;
    }
    m_measuring.stop();
}
