#include "widget/SetAsideLine.h"

#include "appearance/FocusRing.h"
#include "appearance/Fonts.h"
#include "core/CardMetrics.h"
#include "core/SettingsStore.h"
#include "widget/SymbolButton.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {

// Room between the card's edge, the cross and the text; the text stays centred on the card.
constexpr double kSideMargin = 10;
constexpr double kCrossGap = 4;

} // namespace

SetAsideLine::SetAsideLine(SettingsStore &settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_label(new QLabel(this))
    , m_dismiss(new SymbolButton(Symbol::XMark, this))
{
    m_label->setAlignment(Qt::AlignCenter);
    m_dismiss->setAccessibleName(tr("Dismiss"));
    m_dismiss->setToolTip(tr("Dismiss"));
    connect(m_dismiss, &SymbolButton::clicked, &m_settings, &SettingsStore::dismissSetAside);
    connect(m_dismiss, &KeyboardButton::focusRingChanged, this, qOverload<>(&QWidget::update));
    connect(&m_settings, &SettingsStore::setAsideChanged, this, &SetAsideLine::refresh);
    refresh();
}

bool SetAsideLine::wanted() const
{
    return !m_settings.setAside().isEmpty();
}

void SetAsideLine::refresh()
{
    //: The first of two lines; the backup's file name follows on the second.
    m_lead = tr("Unreadable file kept as");
    m_name = m_settings.setAside();
    const QString where = QDir::toNativeSeparators(m_settings.directory() + QLatin1Char('/') + m_name);
    const QString full = tr("Orvanta could not read its saved data and kept it as %1.").arg(where);
    m_label->setToolTip(full);
    m_label->setAccessibleName(m_lead + QLatin1Char(' ') + m_name);
    m_label->setAccessibleDescription(full);
    placeChildren();
    emit wantedChanged();
}

void SetAsideLine::setLook(qreal scale, const Palette &palette)
{
    m_scale = scale;
    m_label->setFont(systemFont(CardMetrics::scaled(CardMetrics::kWarningText, scale)));
    // The accent stands out from the surface in every theme, as on the warning line.
    QPalette ink = m_label->palette();
    ink.setColor(QPalette::WindowText, palette.accent);
    m_label->setPalette(ink);
    m_dismiss->setSide(CardMetrics::scaledPixels(CardMetrics::kNoteCross, scale));
    m_dismiss->setSymbol(Symbol::XMark, palette.secondary);
    placeChildren();
}

void SetAsideLine::resizeEvent(QResizeEvent *)
{
    placeChildren();
}

void SetAsideLine::placeChildren()
{
    const int side = m_dismiss->width();
    const int margin = CardMetrics::scaledPixels(kSideMargin, m_scale);
    const int inset = margin + side + CardMetrics::scaledPixels(kCrossGap, m_scale);
    m_dismiss->move(width() - margin - side, (height() - side) / 2);
    const QRect text(inset, 0, std::max(0, width() - 2 * inset), height());
    m_label->setGeometry(text);
    // Hidden with nothing to name, the line measures nothing: its font is not even loaded.
    if (!wanted()) {
        m_label->clear();
        return;
    }
    // The name is cut in its middle, where the time stamp is, so what it is and its ending show.
    const QFontMetrics metrics = m_label->fontMetrics();
    m_label->setText(metrics.elidedText(m_lead, Qt::ElideRight, text.width()) + QLatin1Char('\n')
                     + metrics.elidedText(m_name, Qt::ElideMiddle, text.width()));
}

void SetAsideLine::paintEvent(QPaintEvent *)
{
    // The cross fills its button, so its ring is drawn here, around it.
    if (!m_dismiss->showsFocusRing())
        return;
    QPainterPath ring;
    ring.addEllipse(QRectF(m_dismiss->geometry()).adjusted(-3, -3, 3, 3));
    QPainter painter(this);
    paintFocusRing(painter, ring, focusColor(this));
}
