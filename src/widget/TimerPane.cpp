#include "widget/TimerPane.h"

#include "appearance/Fonts.h"
#include "appearance/ScaledButton.h"
#include "core/AppModel.h"
#include "core/CardMetrics.h"
#include "core/DurationParser.h"
#include "widget/FieldFrame.h"

#include <QBoxLayout>
#include <QLineEdit>

TimerPane::TimerPane(AppModel &model, qreal scale, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_field(new FieldFrame(this))
    , m_start(new ScaledButton(tr("Start"), this))
    , m_cancel(new ScaledButton(tr("Cancel"), this))
{
    QLineEdit *edit = m_field->lineEdit();
    m_field->setPlaceholder(QStringLiteral("25:00"), Qt::AlignHCenter);
    edit->setText(QStringLiteral("25:00"));
    edit->setAlignment(Qt::AlignCenter);
    edit->setAccessibleName(tr("Countdown duration"));
    edit->setAccessibleDescription(tr("Minutes, m:ss or h:mm:ss; Return starts the countdown"));
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
    setScale(scale);
}

QLineEdit *TimerPane::field() const
{
    return m_field->lineEdit();
}

void TimerPane::setScale(qreal k)
{
    auto *column = static_cast<QVBoxLayout *>(layout());
    using namespace CardMetrics;
    const int side = scaledPixels(kPaneSide, k);
    column->setSpacing(scaledPixels(kTimerSpacing, k));
    column->setContentsMargins(side, scaledPixels(kPaneTop, k), side, scaledPixels(kTimerBottom, k));
    static_cast<QHBoxLayout *>(column->itemAt(1)->layout())->setSpacing(scaledPixels(kTimerSpacing, k));
    // The desktop's sans faces (DejaVu, Noto) draw their digits at equal widths.
    m_field->setMetrics(scaled(kTimerPadding, k), scaled(kTimerPadding, k), scaled(kFieldRadius, k),
                        systemFont(scaled(kTimerText, k)));
    m_start->setScale(k);
    m_cancel->setScale(k);
}

void TimerPane::setCardPalette(const Palette &palette)
{
    m_field->setColors(palette);
    // A fill of the ink can leave its label too little contrast (white on the blue theme); with
    // high contrast the buttons take the field's fill, on which the ink reaches 4.5:1.
    const QColor fill = palette.highContrast ? palette.field : QColor();
    m_start->setInk(palette.digits, fill);
    m_cancel->setInk(palette.digits, fill);
}

void TimerPane::takeKeyboard()
{
    // Selected whole, the last duration is replaced by whatever is typed next.
    field()->setFocus(Qt::OtherFocusReason);
    field()->selectAll();
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
    // A rejected text leaves the field empty, showing its placeholder.
    if (!m_model.startCountdown(field()->text()))
        field()->clear();
}
