// Any command line for zirvel (the input split at NUL bytes into arguments):
// what is accepted holds only values the dialogs accept, and a refusal is one
// readable line of bounded length that never passes a control character to
// the terminal.

#include "app/commandline.h"
#include "fuzzcheck.h"
#include "settings/shutdownsettings.h"
#include "time/timeentry.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    QStringList args;
    for (std::size_t from = 0; !input.empty() && args.size() < 6;) {
        const std::size_t nul = input.find('\0', from);
        const std::string_view arg =
            input.substr(from, nul == std::string_view::npos ? nul : nul - from);
        args << QString::fromUtf8(arg.data(), qsizetype(arg.size()));
        if (nul == std::string_view::npos)
            break;
        from = nul + 1;
    }

    const CommandLine::Command c = CommandLine::parse(args);
    using Kind = CommandLine::Command::Kind;
    switch (c.kind) {
    case Kind::Error:
        FUZZ_CHECK(!args.isEmpty());
        FUZZ_CHECK(c.error.startsWith(QStringLiteral("zirvel：")));
        FUZZ_CHECK(c.error.size() < 300);
        for (const QChar ch : c.error) {
            const char16_t u = ch.unicode();
            FUZZ_CHECK(u >= 0x20 && !(u >= 0x7f && u < 0xa0));
        }
        break;
    case Kind::Start:
        FUZZ_CHECK(args.isEmpty());
        break;
    case Kind::Alarm:
    case Kind::ShutdownAt:
        FUZZ_CHECK(TimeEntry::timeOfDay(c.hour, c.minute).has_value());
        break;
    case Kind::ShutdownIn:
        FUZZ_CHECK(c.minutes >= 0 && c.minutes <= ShutdownSettings::LongestCountdown);
        break;
    default:
        break;
    }
    if (c.kind != Kind::Error)
        FUZZ_CHECK(c.error.isEmpty());
    if (c.message)
        FUZZ_CHECK(c.kind == Kind::Alarm);
    if (c.daily)
        FUZZ_CHECK(c.kind == Kind::ShutdownAt);
    if (c.noPrompt)
        FUZZ_CHECK(c.kind == Kind::ShutdownAt || c.kind == Kind::ShutdownIn);
    return 0;
}
