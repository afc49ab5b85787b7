#pragma once

#include <QObject>

// Tells screen readers that a control has opened or closed what it shows. Qt's AT-SPI bridge
// (6.4) passes on a control's checked, focused, enabled and active state changes but not its
// expanded one; this sends that signal itself, on the bridge's own connection to the
// accessibility bus and from the control's own object path, so a reader takes it as the
// control's. Without an accessibility bus it does nothing.
class ExpandedStateNotifier : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    void announce(QObject *control, bool expanded);
};
