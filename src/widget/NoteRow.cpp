#include "widget/NoteRow.h"

#include "appearance/Fonts.h"
#include "core/CardMetrics.h"
#include "widget/NoteText.h"
#include "widget/SymbolButton.h"

#include <QBoxLayout>
#include <QFontMetricsF>

#include <cmath>

namespace {

// The check mark and the cross sit centred on the note's first line, which for a note of one
// line is the middle of the row: halfway down a long note they could be thousands of pixels
// out of sight.
QVBoxLayout *besideFirstLine(QWidget *symbol)
{
    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(symbol);
    column->addStretch();
    return column;
}

// The cross is named after the start of its note: a screen reader would read all of a
// 100,000-character note, and the name kept a copy of it. The check box has the whole text.
constexpr qsizetype kSpokenStart = 160;

QString spokenStart(const QString &text)
{
    if (text.size() <= kSpokenStart)
        return text;
    const qsizetype cut = text.at(kSpokenStart - 1).isHighSurrogate() ? kSpokenStart - 1 : kSpokenStart;
    return text.left(cut) + QChar(0x2026);
}

void centreOnLine(QVBoxLayout *column, int lineHeight, int side)
{
    column->setContentsMargins(0, std::max(0, (lineHeight - side) / 2), 0, 0);
}

} // namespace

NoteRow::NoteRow(QWidget *parent)
    : QWidget(parent)
    , m_check(new SymbolButton(Symbol::Circle, this))
    , m_text(new NoteText(this))
    , m_delete(new SymbolButton(Symbol::XMark, this))
    , m_checkColumn(besideFirstLine(m_check))
    , m_deleteColumn(besideFirstLine(m_delete))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(m_checkColumn);
    row->addWidget(m_text, 1);
    row->addLayout(m_deleteColumn);
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
    m_delete->setAccessibleName(tr("Delete note: %1").arg(spokenStart(note.text)));
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
    const int lineHeight = int(std::ceil(QFontMetricsF(font).height()));
    centreOnLine(m_checkColumn, lineHeight, m_check->height());
    centreOnLine(m_deleteColumn, lineHeight, m_delete->height());
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
