#pragma once

class QString;

// Tells the user why this launch does not run: one line on standard error and, when there is
// a display to show it on, a small dialog.
void reportStartupFailure(const QString &reason);
