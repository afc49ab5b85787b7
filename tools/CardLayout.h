#pragma once

class QString;
class WidgetView;

// Writes where the card drew its parts (see LayoutFile): "card", "face", "digits", "am", "pm",
// "date", "cancel", "edge", "divider1", "divider2", "timer-field", "timer-text", "notes-field",
// "notes-text", "noteN", "noteN-check", "noteN-text", "noteN-cross" (N from 1) and "grip".
bool saveCardLayout(const WidgetView &card, const QString &path);
