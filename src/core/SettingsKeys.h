#pragma once

#include <limits>

// Every persisted setting, with its name and default in one place. Nothing
// writes a default into the store: a key exists only once the user changed it.
template<typename T>
struct SettingKey
{
    const char *name;
    T defaultValue;
};

namespace Keys {
inline constexpr SettingKey<bool> h24{"h24", false};
inline constexpr SettingKey<bool> showSeconds{"showSeconds", true};
inline constexpr SettingKey<bool> showDate{"showDate", true};
inline constexpr SettingKey<double> cardWidth{"cardWidth", 220.0};
inline constexpr SettingKey<const char *> theme{"theme", "dark"};
inline constexpr SettingKey<const char *> accent{"accent", "red"};
// On, texts and controls stand out more in every theme; the desktop can ask for it too.
inline constexpr SettingKey<bool> highContrast{"highContrast", false};
inline constexpr SettingKey<bool> sound{"sound", true};
// A desktop notification when a countdown ends while the card cannot be seen.
inline constexpr SettingKey<bool> notifyCountdownEnd{"notifyCountdownEnd", true};
// Off, other windows may cover the card.
inline constexpr SettingKey<bool> stayOnTop{"stayOnTop", true};
// On, the card opens where the user last dragged it (cardRight, cardTop) rather than in the corner.
inline constexpr SettingKey<bool> rememberPosition{"rememberPosition", false};
// Where the user last dragged the card: the point just right of its top edge. Not a number
// until then.
inline constexpr SettingKey<double> cardRight{"cardRight", std::numeric_limits<double>::quiet_NaN()};
inline constexpr SettingKey<double> cardTop{"cardTop", std::numeric_limits<double>::quiet_NaN()};
// Read once, when the model is made.
inline constexpr SettingKey<bool> startOpen{"startOpen", true};
// Binary data: the notes list as JSON. Absent means an empty list.
inline constexpr const char notes[] = "notes";
} // namespace Keys
