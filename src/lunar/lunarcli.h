#pragma once

// The command line of zirvel-lunar, without any input or output, so that it
// can be checked on its own: what the arguments ask for, and how a bad
// argument is shown back to the user.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace LunarCli {

struct Ymd {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const Ymd &, const Ymd &) = default;
};

/// Exactly "YYYY-MM-DD" naming a real Gregorian date inside the lunar table's
/// range (1900-01-31 to 2101-01-28).
std::optional<Ymd> parseDate(std::string_view text);

/// "YYYY-MM-DD".
std::string formatDate(const Ymd &date);

struct Command {
    enum class Kind {
        Today, ///< no arguments
        Date,  ///< one date: `from`
        Range, ///< --range FROM TO, FROM not after TO
        Help,  ///< --help, -h
        Error, ///< `error` is the message, one line without its line feed
    };
    Kind kind = Kind::Error;
    Ymd from;
    Ymd to;
    std::string error;
};

/// What the arguments (without the program name) ask for.
Command parse(std::span<const std::string_view> args);

/// The longest an argument is shown in a message, in characters.
inline constexpr std::size_t ShownLength = 40;

/// An argument as a message shows it: control characters, bytes that are not
/// UTF-8, invisible direction marks and "\" as escapes ("\n", "\x1b",
/// "\u202e", "\\"), cut to `ShownLength` characters with "..." after it.
std::string shownArgument(std::string_view text);

} // namespace LunarCli
