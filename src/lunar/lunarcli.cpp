#include "lunar/lunarcli.h"

#include "lunar/lunarcalendar.h"

#include <cstdio>

namespace LunarCli {

namespace {

constexpr char RangeText[] = "1900-01-31 to 2101-01-28";

std::string usageError(std::string_view what)
{
    return "zirvel-lunar: " + std::string(what) + "; try 'zirvel-lunar --help'";
}

std::string badDate(std::string_view text)
{
    return "zirvel-lunar: '" + shownArgument(text) + "' is not a date from " + RangeText +
           " (YYYY-MM-DD)";
}

Command error(std::string message)
{
    Command c;
    c.error = std::move(message);
    return c;
}

/// The code point of the UTF-8 sequence at the start of `s` and its length;
/// length 0 when the bytes there are not a valid sequence.
std::pair<char32_t, std::size_t> decodeUtf8(std::string_view s)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        cp = lead & 0x1f;
        least = 0x80;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        cp = lead & 0x0f;
        least = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        cp = lead & 0x07;
        least = 0x10000;
    } else {
        return {0, 0};
    }
    if (s.size() < length)
        return {0, 0};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0) != 0x80)
            return {0, 0};
        cp = (cp << 6) | (byte(i) & 0x3f);
    }
    if (cp < least || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))
        return {0, 0};
    return {cp, length};
}

/// Characters that change how a terminal shows the text after them, or that
/// cannot be seen.
bool isInvisible(char32_t cp)
{
    return cp < 0x20 || cp == 0x7f || (cp >= 0x80 && cp < 0xa0) || cp == 0xad ||
           (cp >= 0x200b && cp <= 0x200f) || (cp >= 0x2028 && cp <= 0x202e) ||
           (cp >= 0x2060 && cp <= 0x206f) || cp == 0xfeff;
}

std::string escape(char32_t cp)
{
    switch (cp) {
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        break;
    }
    char buf[12];
    if (cp < 0x80)
        std::snprintf(buf, sizeof buf, "\\x%02x", unsigned(cp));
    else
        std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(cp));
    return buf;
}

} // namespace

std::optional<Ymd> parseDate(std::string_view s)
{
    if (s.size() != 10 || s[4] != '-' || s[7] != '-')
        return std::nullopt;
    auto digits = [&](std::size_t from, std::size_t count) {
        int v = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return -1;
            v = v * 10 + (s[i] - '0');
        }
        return v;
    };
    const Ymd d{digits(0, 4), digits(5, 2), digits(8, 2)};
    if (d.year < 0 || d.month < 0 || d.day < 0)
        return std::nullopt;
    if (!LunarCalendar::fromGregorian(d.year, d.month, d.day))
        return std::nullopt;
    return d;
}

std::string formatDate(const Ymd &d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

Command parse(std::span<const std::string_view> args)
{
    Command c;
    if (args.empty()) {
        c.kind = Command::Kind::Today;
        return c;
    }
    const std::string_view a1 = args[0];
    if (a1 == "--help" || a1 == "-h") {
        c.kind = Command::Kind::Help;
        return c;
    }
    if (a1 == "--range") {
        if (args.size() != 3)
            return error(usageError("--range needs two dates, FROM and TO"));
        const auto from = parseDate(args[1]);
        if (!from)
            return error(badDate(args[1]));
        const auto to = parseDate(args[2]);
        if (!to)
            return error(badDate(args[2]));
        if (gregorian::dayNumber(from->year, from->month, from->day) >
            gregorian::dayNumber(to->year, to->month, to->day))
            return error(usageError("FROM is after TO"));
        c.kind = Command::Kind::Range;
        c.from = *from;
        c.to = *to;
        return c;
    }
    if (args.size() != 1)
        return error(usageError("too many arguments"));
    if (a1.size() > 1 && a1[0] == '-' && !(a1[1] >= '0' && a1[1] <= '9'))
        return error(usageError("unknown option '" + shownArgument(a1) + "'"));
    const auto d = parseDate(a1);
    if (!d)
        return error(badDate(a1));
    c.kind = Command::Kind::Date;
    c.from = *d;
    return c;
}

std::string shownArgument(std::string_view text)
{
    std::string out;
    std::size_t shown = 0; // characters so far
    while (!text.empty()) {
        const auto [cp, length] = decodeUtf8(text);
        std::string piece;
        std::size_t width = 1;
        if (length == 0) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x",
                          unsigned(static_cast<unsigned char>(text[0])));
            piece = buf;
            width = piece.size();
        } else if (cp == '\\') {
            piece = "\\\\";
            width = 2;
        } else if (isInvisible(cp)) {
            piece = escape(cp);
            width = piece.size();
        } else {
            piece = text.substr(0, length);
        }
        if (shown + width > ShownLength) {
            out += "...";
            break;
        }
        out += piece;
        shown += width;
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return out;
}

} // namespace LunarCli
