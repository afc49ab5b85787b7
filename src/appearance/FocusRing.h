#pragma once

#include <Qt>

// Controls show their focus ring only when the keyboard moved the focus there,
// not after a click or when their window comes to the front.
inline bool focusRingWanted(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}
