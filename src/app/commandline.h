#pragma once

#include <QString>
#include <QStringList>

#include <optional>

/// The program's command line: what the arguments ask for, checked the way
/// the dialogs check their boxes, without carrying anything out. The same
/// parse runs in the command that was typed (to reject bad input before
/// anything is sent or stored) and in the running clock that carries it out.
namespace CommandLine {

/// Exit codes of a command.
enum ExitCode { Success = 0, Failure = 1, Usage = 2 };

struct Command {
    enum class Kind {
        Start,      ///< no arguments: start the clock, or raise the running one
        Help,       ///< --help
        Version,    ///< --version
        Alarm,      ///< --alarm HH:MM [--message TEXT]
        AlarmOff,   ///< --alarm off
        Chime,      ///< --chime on|off: `on`
        ShutdownAt, ///< --shutdown-at HH:MM [--daily] [--no-prompt]
        ShutdownIn, ///< --shutdown-in MINUTES [--no-prompt]
        Cancel,     ///< --cancel
        Status,     ///< --status
        Show,       ///< --show
        Hide,       ///< --hide
        Quit,       ///< --quit
        Error,      ///< `error` is one line for standard error; exit code Usage
    };
    Kind kind = Kind::Error;
    QString hour;                   ///< Alarm, ShutdownAt: the hour as typed ("7", "07")
    QString minute;                 ///< Alarm, ShutdownAt: the minute as typed
    std::optional<QString> message; ///< Alarm: the new message, when given
    bool on = false;                ///< Chime
    bool daily = false;             ///< ShutdownAt
    bool noPrompt = false;          ///< ShutdownAt, ShutdownIn
    int minutes = 0;                ///< ShutdownIn: 0 to ShutdownSettings::LongestCountdown
    QString error;

    /// Whether the command changes the settings.
    bool changesSettings() const;
};

/// The arguments after the program's name.
Command parse(const QStringList &arguments);

/// The text as one line with nothing in it a terminal would act on, the
/// way the commands show values: a backslash as \\, line breaks and tabs as
/// \n, \r, \t, the other control characters (NUL, ESC, DEL, C1) as \xNN,
/// and bidirectional controls, line and paragraph separators and lone
/// surrogates as \uNNNN.
QString escaped(const QString &text);

/// What --help prints, ending with a line feed.
QString helpText();
/// What --version prints, ending with a line feed.
QString versionText();

/// What a command gives back to the terminal: its exit code and the text
/// for standard output and standard error (each empty or ending with a line
/// feed).
struct Reply {
    int exitCode = Success;
    QString out;
    QString err;

    static Reply failure(int exitCode, const QString &line);
    /// One line of JSON, without the line feed; fromJson of it gives it back.
    QByteArray toJson() const;
    static std::optional<Reply> fromJson(const QByteArray &json);
    friend bool operator==(const Reply &, const Reply &) = default;
};

/// A request on the single-instance channel: the arguments, as one line of
/// JSON without the line feed, and back.
QByteArray requestJson(const QStringList &arguments);
std::optional<QStringList> requestFromJson(const QByteArray &json);

} // namespace CommandLine
