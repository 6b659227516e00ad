// Any command line for zirvel-lunar (the input split at NUL bytes into
// arguments): it is understood exactly, and a refusal is one readable line
// of bounded length that never passes a control character to the terminal.

#include "fuzzcheck.h"
#include "lunar/lunarcalendar.h"
#include "lunar/lunarcli.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool isValidUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80         ? 1
                        : (c >> 5) == 6  ? 2
                        : (c >> 4) == 14 ? 3
                        : (c >> 3) == 30 ? 4
                                         : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80)
                return false;
        }
        i += n;
    }
    return true;
}

/// Nothing a terminal would act on: no C0 or C1 control, no DEL.
bool isQuiet(std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7f)
            return false;
        if (c == 0xc2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) < 0xa0)
            return false; // U+0080..U+009F
    }
    return true;
}

void checkShown(std::string_view arg)
{
    const std::string shown = LunarCli::shownArgument(arg);
    FUZZ_CHECK(isValidUtf8(shown));
    FUZZ_CHECK(isQuiet(shown));
    FUZZ_CHECK(shown.size() <= 4 * LunarCli::ShownLength + 3);
    // Every byte takes at most four characters ("\xff"): a short argument is never cut.
    const bool cut = shown.size() >= 3 && shown.compare(shown.size() - 3, 3, "...") == 0 &&
                     !arg.ends_with("...");
    if (arg.size() <= LunarCli::ShownLength / 4)
        FUZZ_CHECK(!cut);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    std::vector<std::string_view> args;
    for (std::size_t from = 0; !input.empty() && args.size() < 5;) {
        const std::size_t nul = input.find('\0', from);
        args.push_back(input.substr(from, nul == std::string_view::npos ? nul : nul - from));
        if (nul == std::string_view::npos)
            break;
        from = nul + 1;
    }

    for (std::string_view arg : args)
        checkShown(arg);

    const LunarCli::Command c = LunarCli::parse(args);
    using Kind = LunarCli::Command::Kind;
    switch (c.kind) {
    case Kind::Error:
        FUZZ_CHECK(!args.empty());
        FUZZ_CHECK(c.error.rfind("zirvel-lunar: ", 0) == 0);
        FUZZ_CHECK(isValidUtf8(c.error));
        FUZZ_CHECK(isQuiet(c.error));
        FUZZ_CHECK(c.error.size() < 300);
        break;
    case Kind::Today:
        FUZZ_CHECK(args.empty());
        break;
    case Kind::Help:
        FUZZ_CHECK(args[0] == "--help" || args[0] == "-h");
        break;
    case Kind::Date:
        FUZZ_CHECK(args.size() == 1);
        FUZZ_CHECK(LunarCli::formatDate(c.from) == args[0]);
        FUZZ_CHECK(LunarCalendar::fromGregorian(c.from.year, c.from.month, c.from.day));
        break;
    case Kind::Range:
        FUZZ_CHECK(args.size() == 3 && args[0] == "--range");
        FUZZ_CHECK(LunarCli::formatDate(c.from) == args[1]);
        FUZZ_CHECK(LunarCli::formatDate(c.to) == args[2]);
        FUZZ_CHECK(gregorian::dayNumber(c.from.year, c.from.month, c.from.day) <=
                   gregorian::dayNumber(c.to.year, c.to.month, c.to.day));
        break;
    }
    if (c.kind != Kind::Error)
        FUZZ_CHECK(c.error.empty());
    return 0;
}
