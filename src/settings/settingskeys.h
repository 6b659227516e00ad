#pragma once

#include <QString>
#include <QStringList>

#include <QList>

/// The keys of the settings store. Every key lives in section "Settings".
namespace Keys {
inline constexpr char Section[] = "Settings";

inline constexpr char MainLeft[] = "MainLeft";
inline constexpr char MainTop[] = "MainTop";
inline constexpr char ChkIntTime[] = "chkinttime";
inline constexpr char ChkOpenClose[] = "chkopenclose";
inline constexpr char ChkImedClose[] = "chkImedClose";
inline constexpr char ChkCloseTime[] = "chkclosetime";
inline constexpr char Timer[] = "timer";
inline constexpr char ChkAutoRun[] = "chkautorun";
inline constexpr char Hour[] = "hour";
inline constexpr char Minute[] = "minute";
inline constexpr char Prompt[] = "prompt";
inline constexpr char ITimer[] = "itimer";
inline constexpr char ChkYnTimer[] = "chkyntimer";
/// The day (yyyy-MM-dd) a shutdown that is not daily is for; empty or
/// missing for a daily one, and in stores older than the key.
inline constexpr char TimerDate[] = "timerdate";

/// Whether any of `keys` is among `names` as the store's changed() gives
/// them ("settings/key", lower case).
bool touched(const QStringList &names, const QList<const char *> &keys);
} // namespace Keys

/// What a key holds; decides which stored texts count as valid.
enum class KeyKind {
    Flag,   ///< decimal text of a 16-bit signed integer ("0"/"1")
    Time,   ///< a time-of-day text, or empty
    Date,   ///< a date as yyyy-MM-dd, or empty
    Text,   ///< any text
    Number, ///< decimal text of a number (window positions in twips)
};

struct KeyInfo {
    const char *name;
    KeyKind kind;
};

/// The table entry of a key, compared without regard to case; null for a key
/// the program does not know.
const KeyInfo *findKey(const QString &name);

/// Whether a stored text is a valid value for a key of this kind.
bool isValidValue(KeyKind kind, const QString &text);
