#include "TimerPane.h"

#include "AppModel.h"
#include "Clock.h"
#include "DurationParser.h"
#include "FieldFrame.h"
#include "Fonts.h"
#include "ScaledButton.h"

#include <QBoxLayout>
#include <QLineEdit>

#include <algorithm>

TimerPane::TimerPane(AppModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_field(new FieldFrame(this))
    , m_start(new ScaledButton(tr("Start"), this))
    , m_cancel(new ScaledButton(tr("Cancel"), this))
{
    QLineEdit *edit = m_field->lineEdit();
    edit->setPlaceholderText(QStringLiteral("25:00"));
    edit->setText(QStringLiteral("25:00"));
    edit->setAlignment(Qt::AlignCenter);
    edit->setAccessibleName(tr("Countdown length"));
    connect(edit, &QLineEdit::textChanged, this, &TimerPane::filterText);
    connect(edit, &QLineEdit::returnPressed, this, &TimerPane::startTimer);
    connect(m_start, &ScaledButton::clicked, this, &TimerPane::startTimer);
    connect(m_cancel, &ScaledButton::clicked, this, [this] { m_model.setDrawerOpen(false); });

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(m_start);
    buttons->addWidget(m_cancel);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_field);
    column->addLayout(buttons);
    setScale(1.0);
}

QLineEdit *TimerPane::field() const
{
    return m_field->lineEdit();
}

void TimerPane::setScale(qreal k)
{
    auto *column = static_cast<QVBoxLayout *>(layout());
    column->setSpacing(qRound(8 * k));
    column->setContentsMargins(qRound(14 * k), qRound(10 * k), qRound(14 * k), qRound(14 * k));
    static_cast<QHBoxLayout *>(column->itemAt(1)->layout())->setSpacing(qRound(8 * k));
    // The desktop's sans faces (DejaVu, Noto) draw their digits at equal widths.
    m_field->setMetrics(6 * k, 6 * k, 8 * k, systemFont(22 * k));
    m_start->setScale(k);
    m_cancel->setScale(k);
}

void TimerPane::setCardPalette(const Palette &palette)
{
    m_field->setColors(palette.field, palette.border);
    m_start->setInk(palette.digits);
    m_cancel->setInk(palette.digits);
}

void TimerPane::filterText(const QString &text)
{
    const QString kept = keepDurationCharacters(text);
    if (kept == text)
        return;
    QLineEdit *edit = field();
    // Keep the caret where the user was typing, less what was dropped before it.
    const int cursor = int(keepDurationCharacters(text.left(edit->cursorPosition())).size());
    edit->setText(kept);
    edit->setCursorPosition(cursor);
}

void TimerPane::startTimer()
{
    const auto seconds = parseDuration(field()->text());
    if (!seconds) {
        field()->clear();
        return;
    }
    const double length = std::clamp(*seconds, 1.0, kMaxSeconds);
    m_model.setTimerEndsAt(m_model.clock().now() + length);
    m_model.setDrawerOpen(false);
}
