#include "NotesPane.h"

#include "AppModel.h"
#include "FieldFrame.h"
#include "Fonts.h"
#include "NoteRow.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMultiHash>

NotesPane::NotesPane(AppModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_field(new FieldFrame(this))
    , m_placeholder(new QLabel(QStringLiteral("Add a note…"), m_field->lineEdit()))
{
    // The placeholder lies over the field but lets every click through to it.
    m_placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Inside a line edit a label would take the edit's text colour.
    m_placeholder->setForegroundRole(QPalette::WindowText);
    auto *overlay = new QHBoxLayout(m_field->lineEdit());
    overlay->setContentsMargins(2, 0, 0, 0);
    overlay->addWidget(m_placeholder, 0, Qt::AlignLeft | Qt::AlignVCenter);
    m_field->lineEdit()->setAccessibleName(tr("New note"));
    connect(m_field->lineEdit(), &QLineEdit::returnPressed, this, &NotesPane::submit);
    connect(m_field->lineEdit(), &QLineEdit::textChanged, this, &NotesPane::refreshPlaceholder);
    connect(&m_model, &AppModel::notesChanged, this, &NotesPane::syncRows);
    syncRows();
    setScale(1.0);
}

QLineEdit *NotesPane::field() const
{
    return m_field->lineEdit();
}

void NotesPane::setScale(qreal k)
{
    m_scale = k;
    const QFont font = systemFont(13 * k);
    m_field->setMetrics(8 * k, 6 * k, 8 * k, font);
    m_placeholder->setFont(font);
    for (NoteRow *row : std::as_const(m_rows))
        row->setLook(k, m_palette);
    placeChildren();
}

void NotesPane::setCardPalette(const Palette &palette)
{
    m_palette = palette;
    m_field->setColors(palette.field, palette.border);
    QPalette colors = m_placeholder->palette();
    colors.setColor(QPalette::WindowText, palette.secondary);
    m_placeholder->setPalette(colors);
    for (NoteRow *row : std::as_const(m_rows))
        row->setLook(m_scale, palette);
}

void NotesPane::submit()
{
    m_model.addNote(field()->text());
    field()->clear();
}

void NotesPane::refreshPlaceholder()
{
    m_placeholder->setVisible(field()->text().isEmpty());
}

void NotesPane::syncRows()
{
    const NoteList &notes = m_model.notes();
    // Rows keep their identity by note id; the list may in principle repeat an id.
    QMultiHash<QUuid, NoteRow *> spare;
    for (NoteRow *row : std::as_const(m_rows)) {
        spare.insert(row->id(), row);
    }
    m_rows.clear();
    for (const Note &note : notes) {
        NoteRow *row = spare.take(note.id);
        if (!row) {
            row = new NoteRow(this);
            row->setLook(m_scale, m_palette);
            connect(row, &NoteRow::toggleRequested, &m_model, &AppModel::toggleNote);
            connect(row, &NoteRow::deleteRequested, &m_model, &AppModel::deleteNote);
        }
        row->setNote(note);
        row->show();
        m_rows.append(row);
    }
    for (NoteRow *row : std::as_const(spare))
        delete row;
    // Five notes fill the list: the field takes no more until one goes.
    m_field->setEnabled(notes.size() < AppModel::maxNotes);
    placeChildren();
}

// Rows are stacked by hand: their heights depend on the width through wrapping,
// which the pane knows exactly, so nothing waits for a layout pass.
int NotesPane::naturalHeight(int width) const
{
    const int inner = width - 2 * qRound(14 * m_scale);
    int height = 2 * qRound(10 * m_scale) + m_field->sizeHint().height();
    for (const NoteRow *row : m_rows)
        height += qRound(6 * m_scale) + row->heightAt(inner);
    return height;
}

void NotesPane::placeChildren()
{
    const int side = qRound(14 * m_scale);
    const int inner = width() - 2 * side;
    int y = qRound(10 * m_scale);
    m_field->setGeometry(side, y, inner, m_field->sizeHint().height());
    y += m_field->height();
    for (NoteRow *row : std::as_const(m_rows)) {
        y += qRound(6 * m_scale);
        const int height = row->heightAt(inner);
        row->setGeometry(side, y, inner, height);
        y += height;
    }
}

void NotesPane::resizeEvent(QResizeEvent *)
{
    placeChildren();
}
