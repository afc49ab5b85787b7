#pragma once

#include "appearance/Palette.h"

#include <QList>
#include <QRegion>
#include <QWidget>

#include <limits>
#include <optional>

class AppModel;
class QAction;
class QLabel;
class QMenu;
class ClockFace;
class DrawerContainer;
class GripRow;
class ResizeEdge;
class SaveThrottle;
class SetAsideLine;
class Scheduler;
class SettingsStore;

// The card: the clock face, the drawer and its grip, on a rounded background
// with a hairline border that turns to the accent while a countdown's end
// flashes. Its width is the "cardWidth" setting, its height follows the drawer;
// every new size is announced so the window around it can follow, up to a height
// limit past which the notes scroll. While the
// settings cannot be saved, a short warning line sits above the grip; two lines above it
// tells where unreadable settings or notes were kept, until it is dismissed.
class WidgetView : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kFocusDelay = 0.05;

    WidgetView(AppModel &model, SettingsStore &settings, Scheduler &scheduler, QWidget *parent = nullptr);

    // The entries of the card's context menu, in order (a separator is an action too).
    void setMenuActions(const QList<QAction *> &actions);
    // What the context menu shows: while saving fails, the reason (disabled) comes first.
    QList<QAction *> contextMenuActions() const;

    // The tallest the card may be: the free part of the screen below its top edge. Past it the
    // notes scroll inside the drawer; the face, the timer pane and the grip keep their places.
    void setHeightLimit(int limit);

    // The desktop's light or dark appearance, which the system theme follows.
    void setSystemDark(bool dark);
    // Whether the desktop asks for high contrast; the "highContrast" setting can ask too.
    void setDesktopHighContrast(bool high);
    // Without a compositor the glass theme's tint is drawn opaque, and so are the corners
    // outside the rounded outline, for the window's shape to cut off.
    void setTranslucencyAvailable(bool available);

    const Palette &cardPalette() const;
    // The card's rounded outline as whole pixels: the shape of the window that holds it.
    QRegion outline() const;
    double cardWidth() const;
    int reveal() const;
    std::optional<int> dragReveal() const { return m_dragReveal; }
    int drawerHeight() const;

    ClockFace *clockFace() const { return m_face; }
    DrawerContainer *drawer() const { return m_drawer; }
    GripRow *gripRow() const { return m_grip; }
    ResizeEdge *resizeEdge() const { return m_edge; }
    QLabel *saveWarning() const { return m_saveWarning; }
    SetAsideLine *setAsideLine() const { return m_setAsideLine; }

signals:
    void sizeChanged(const QSize &size);
    // The card wants the keyboard: its drawer has just opened.
    void activateRequested();
    // The user has started to drag the card's window.
    void moveStarted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onDrawerOpenChanged();
    void onGripDragged(qreal translation);
    void onGripReleased(qreal translation);
    void onEdgeDragged(qreal delta);
    void onSaveProblemChanged();
    void applyPalette();
    void applyWidth();
    void relayout();
    void orderTabs();
    // Gives target the keyboard; it shows its focus ring when the control it leaves did.
    void moveFocus(QWidget *target);

    AppModel &m_model;
    SettingsStore &m_settings;
    Scheduler &m_scheduler;
    ClockFace *m_face;
    DrawerContainer *m_drawer;
    GripRow *m_grip;
    ResizeEdge *m_edge;
    SaveThrottle *m_widthSaves;
    QLabel *m_saveWarning;
    SetAsideLine *m_setAsideLine;
    QAction *m_saveProblemAction;
    QAction *m_saveProblemSeparator;
    // Kept, not made at each opening: a reader knows an entry by its action and the menu it is in.
    QMenu *m_menu = nullptr;

    int m_heightLimit = std::numeric_limits<int>::max();
    bool m_systemDark = false;
    bool m_desktopHighContrast = false;
    Palette m_colors;
    bool m_translucent = true;
    bool m_drawerWasOpen;
    std::optional<int> m_dragReveal;
    QSize m_reported;
    QList<QAction *> m_menuActions;
};
