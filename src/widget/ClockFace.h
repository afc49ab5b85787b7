#pragma once

#include "appearance/Palette.h"
#include "appearance/TabularText.h"

#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QWidget>

#include <memory>

class AppModel;
class RoundButton;
class LongDateFormatter;
class SettingsStore;

// The top of the card: the time of day (or a running countdown) in large
// equal-width digits, the AM/PM column and the date line. Sizes follow the card
// scale. A tick repaints only the characters that changed, and nothing when
// nothing did.
class ClockFace : public QWidget
{
    Q_OBJECT

public:
    // The fonts are built for the scale given, so a card that starts wide builds them once.
    ClockFace(AppModel &model, const SettingsStore &settings, qreal scale, QWidget *parent = nullptr);
    ~ClockFace() override;

    void setScale(qreal scale);
    void setCardPalette(const Palette &palette);

    int faceHeight() const;

    QString digitsText() const { return m_digits; }
    bool ampmShown() const;
    bool dateShown() const;
    bool afternoon() const { return m_afternoon; }
    QString dateText() const { return m_dateText; }
    QFont digitsFont() const { return m_digitsText.font(); }
    QFont ampmFont() const { return m_ampmFont; }
    QFont dateFont() const { return m_dateFont; }
    qreal padding() const;
    RoundButton *cancelButton() const { return m_cancel; }
    // Beside the cancel button: pauses the countdown, or resumes it when paused.
    RoundButton *pauseButton() const { return m_pause; }
    // What a screen reader hears of the face, made when asked: the time and date as a
    // sentence without seconds, or the time left of a running countdown.
    QString spokenText() const;
    // Where the digits line, an AM or PM label and the date line are drawn, in this widget's
    // coordinates; the labels and the date only count while they are shown.
    QRectF digitsRect() const;
    QRectF ampmRect(bool pm) const;
    QRectF dateRect() const;

signals:
    void heightChanged();
    // spokenText() says something new: a new minute, date or countdown second.
    void spokenTextChanged();
    // The countdown ended while its cancel or pause button had the keyboard; the buttons go now.
    void focusOrphaned();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Line
    {
        qreal ascent = 0;
        qreal height = 0;
    };

    // Measured once per font change, so a tick measures no text.
    struct Metrics
    {
        qreal digitsAscent = 0;
        qreal digitsDescent = 0;
        qreal ampmHeight = 0;
        qreal ampmAscent = 0;
        qreal ampmDescent = 0;
        qreal ampmWidth = 0;
        qreal dateHeight = 0;
        qreal dateAscent = 0;
    };

    // Re-reads the clock settings; the height may change.
    void reloadSettings();
    void onTick();
    void onRunningChanged();
    QString currentDigits(const QDateTime &local) const;
    qint64 shownSecond() const;
    void refreshDate(const QDate &today);
    void updateFonts();
    Line mainLine() const;
    qreal mainLineLeft(const QString &digits) const;
    void placeButtons();
    // The pause button's symbol and name follow the countdown's state.
    void showPauseState();
    // Tells assistive technology that spokenText() has changed.
    void announceSpokenText(const QDateTime &local);

    AppModel &m_model;
    const SettingsStore &m_settings;
    RoundButton *m_cancel;
    RoundButton *m_pause;
    std::unique_ptr<LongDateFormatter> m_dateFormatter;

    Palette m_palette;
    qreal m_scale = 1.0;
    bool m_h24 = false;
    bool m_showSeconds = true;
    bool m_showDate = true;
    bool m_running = false;
    bool m_paused = false;

    TabularText m_digitsText;
    QFont m_ampmFont;
    QFont m_dateFont;
    Metrics m_metrics;
    qreal m_dateWidth = 0;
    QString m_am;
    QString m_pm;

    // What is on screen now, to repaint only what a tick changes.
    qint64 m_shownSecond = 0;
    QString m_digits;
    bool m_afternoon = false;
    QDate m_date;
    QString m_dateText;
    // The minute (or the countdown's second) that spokenText() last told of.
    qint64 m_spokenKey = 0;
};
