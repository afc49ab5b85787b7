#pragma once

#include "appearance/Palette.h"

#include <QWidget>

class QLabel;
class SettingsStore;
class SymbolButton;

// The two lines that tell where unreadable settings or notes were kept, in the look of the
// warning line, with a cross that dismisses them. The name may be cut short in the middle;
// the whole sentence is their tool tip and what assistive technology reads.
class SetAsideLine : public QWidget
{
    Q_OBJECT

public:
    explicit SetAsideLine(SettingsStore &settings, QWidget *parent = nullptr);

    // Shown while there is something to tell.
    bool wanted() const;
    void setLook(qreal scale, const Palette &palette);

    QLabel *label() const { return m_label; }
    SymbolButton *dismissButton() const { return m_dismiss; }

signals:
    // wanted() may have changed.
    void wantedChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    void placeChildren();

    SettingsStore &m_settings;
    QLabel *m_label;
    SymbolButton *m_dismiss;
    QString m_lead;
    QString m_name;
    qreal m_scale = 1;
};
