#include "widget/NoteRow.h"

#include "appearance/Fonts.h"
#include "core/CardMetrics.h"
#include "widget/NoteText.h"
#include "widget/SymbolButton.h"

#include <QBoxLayout>

NoteRow::NoteRow(QWidget *parent)
    : QWidget(parent)
    , m_check(new SymbolButton(Symbol::Circle, this))
    , m_text(new NoteText(this))
    , m_delete(new SymbolButton(Symbol::XMark, this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_check, 0, Qt::AlignVCenter);
    row->addWidget(m_text, 1);
    row->addWidget(m_delete, 0, Qt::AlignVCenter);
    m_delete->setToolTip(tr("Delete"));
    // A check box to assistive technology, named by the note; it shows the note's state.
    m_check->setCheckable(true);
    connect(m_check, &SymbolButton::clicked, this, [this] { emit toggleRequested(m_note.id); });
    connect(m_delete, &SymbolButton::clicked, this, [this] { emit deleteRequested(m_note.id); });
}

void NoteRow::setNote(const Note &note)
{
    m_note = note;
    m_text->setNote(note.text, note.done);
    m_check->setAccessibleName(note.text);
    m_check->setChecked(note.done);
    m_delete->setAccessibleName(tr("Delete note: %1").arg(note.text));
    refreshCheckMark();
}

void NoteRow::setLook(qreal k, const Palette &palette)
{
    m_palette = palette;
    m_scale = k;
    using namespace CardMetrics;
    static_cast<QHBoxLayout *>(layout())->setSpacing(scaledPixels(kNoteRowSpacing, k));
    const QFont font = systemFont(scaled(kBodyText, k));
    m_text->setLook(font, palette.digits);
    // Symbols are drawn at the height of the text they stand beside.
    m_check->setSide(scaledPixels(kBodyText, k));
    m_delete->setSide(scaledPixels(kNoteCross, k));
    m_delete->setSymbol(Symbol::XMark, palette.secondary);
    refreshCheckMark();
}

int NoteRow::heightAt(int width) const
{
    const int spacing = CardMetrics::scaledPixels(CardMetrics::kNoteRowSpacing, m_scale);
    const int textWidth = width - m_check->width() - m_delete->width() - 2 * spacing;
    return std::max({m_check->height(), m_delete->height(), m_text->heightForWidth(std::max(textWidth, 1))});
}

void NoteRow::refreshCheckMark()
{
    if (m_note.done)
        m_check->setSymbol(Symbol::CheckmarkCircleFill, m_palette.accent);
    else
        m_check->setSymbol(Symbol::Circle, m_palette.secondary);
}
