#include "app/commandline.h"

#include "settings/shutdownsettings.h"
#include "time/timeentry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <array>

namespace CommandLine {

namespace {

using Kind = Command::Kind;

/// How an option is written: whether it takes a value, and whether it is a
/// command of its own or only adds to one.
struct Option {
    const char *name;
    bool takesValue;
    bool isCommand;
    Kind kind;        ///< commands: the kind; for the options taking values, refined below
    const char *form; ///< the accepted value, for messages; "" without a value
};

constexpr std::array Options{
    Option{"--alarm", true, true, Kind::Alarm, "HH:MM 或 off"},
    Option{"--message", true, false, Kind::Error, "TEXT"},
    Option{"--chime", true, true, Kind::Chime, "on 或 off"},
    Option{"--shutdown-at", true, true, Kind::ShutdownAt, "HH:MM"},
    Option{"--daily", false, false, Kind::Error, ""},
    Option{"--no-prompt", false, false, Kind::Error, ""},
    Option{"--shutdown-in", true, true, Kind::ShutdownIn, "MINUTES"},
    Option{"--cancel", false, true, Kind::Cancel, ""},
    Option{"--status", false, true, Kind::Status, ""},
    Option{"--show", false, true, Kind::Show, ""},
    Option{"--hide", false, true, Kind::Hide, ""},
    Option{"--quit", false, true, Kind::Quit, ""},
    Option{"--help", false, true, Kind::Help, ""},
    Option{"--version", false, true, Kind::Version, ""},
};

const Option *findOption(const QString &name)
{
    for (const Option &o : Options) {
        if (name == QLatin1String(o.name))
            return &o;
    }
    return nullptr;
}

Command error(const QString &line)
{
    Command c;
    c.kind = Kind::Error;
    c.error = QStringLiteral("zirvel：") + line;
    return c;
}

/// Whether a terminal shows `u` in a way that hides or reorders the text
/// around it: the bidirectional controls and the line and paragraph separators.
bool isLayoutControl(char16_t u)
{
    return u == 0x061c || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) ||
           (u >= 0x2066 && u <= 0x2069) || u == 0x2028 || u == 0x2029;
}

/// The text in quotes, as one quiet line (see escaped()), a long text cut:
/// at most 40 characters of it, shown in at most 160.
QString quoted(const QString &text)
{
    constexpr qsizetype Longest = 40, LongestShown = 4 * Longest;
    qsizetype kept = qMin(text.size(), Longest);
    QString shown;
    for (;; --kept) {
        if (kept > 0 && kept < text.size() && text.at(kept - 1).isHighSurrogate())
            continue; // not half a character
        shown = escaped(text.left(kept));
        if (shown.size() <= LongestShown)
            break;
    }
    if (kept < text.size())
        shown += QStringLiteral("...");
    return QStringLiteral("“%1”").arg(shown);
}

const QString TimeForm = QStringLiteral("HH:MM（时 0–23，分 0–59，整数）");

/// "HH:MM" with a whole hour 0-23 and a whole minute 0-59, as the dialogs'
/// boxes accept them ("7:05", "07:5").
bool splitTime(const QString &text, QString *hour, QString *minute)
{
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{1,9}:[0-9]{1,9}")));
    if (!form.match(text).hasMatch())
        return false;
    const QStringList parts = text.split(QLatin1Char(':'));
    if (!TimeEntry::wholeValue(TimeEntry::Field::Hour, parts[0]) ||
        !TimeEntry::wholeValue(TimeEntry::Field::Minute, parts[1]))
        return false;
    *hour = parts[0];
    *minute = parts[1];
    return true;
}

std::optional<bool> onOff(const QString &text)
{
    if (text.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

std::optional<int> countdownMinutes(const QString &text)
{
    static const QRegularExpression digits(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{1,4}")));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int minutes = text.toInt();
    if (minutes > ShutdownSettings::LongestCountdown)
        return std::nullopt;
    return minutes;
}

} // namespace

QString escaped(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u == '\\')
            shown += QLatin1String("\\\\");
        else if (u == '\n')
            shown += QLatin1String("\\n");
        else if (u == '\r')
            shown += QLatin1String("\\r");
        else if (u == '\t')
            shown += QLatin1String("\\t");
        else if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            shown += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            shown += text.mid(i++, 2);
        else if (c.isSurrogate() || isLayoutControl(u))
            shown += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

bool Command::changesSettings() const
{
    switch (kind) {
    case Kind::Alarm:
    case Kind::AlarmOff:
    case Kind::Chime:
    case Kind::ShutdownAt:
    case Kind::ShutdownIn:
    case Kind::Cancel:
        return true;
    default:
        return false;
    }
}

Command parse(const QStringList &arguments)
{
    if (arguments.isEmpty()) {
        Command c;
        c.kind = Kind::Start;
        return c;
    }
    const Option *command = nullptr;
    QString commandValue;
    std::optional<QString> message;
    bool daily = false;
    bool noPrompt = false;
    QStringList seen;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-"))
            return error(
                QStringLiteral("多余的参数 %1，可用的选项见 zirvel --help").arg(quoted(argument)));
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        const Option *option = findOption(name);
        if (!option)
            return error(
                QStringLiteral("未知的选项 %1，可用的选项见 zirvel --help").arg(quoted(name)));
        if (seen.contains(name))
            return error(QStringLiteral("%1 只能给一次").arg(name));
        seen << name;

        QString value;
        if (option->takesValue) {
            if (equals >= 0)
                value = argument.mid(equals + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return error(QStringLiteral("%1 缺少值，应为 %2")
                                 .arg(name, QString::fromUtf8(option->form)));
        } else if (equals >= 0) {
            return error(QStringLiteral("%1 不带值").arg(name));
        }

        if (option->isCommand) {
            if (command)
                return error(QStringLiteral("%1 和 %2 不能同时使用，一次只给一个命令")
                                 .arg(QLatin1String(command->name), name));
            command = option;
            commandValue = value;
        } else if (name == QLatin1String("--message")) {
            message = value;
        } else if (name == QLatin1String("--daily")) {
            daily = true;
        } else {
            noPrompt = true;
        }
    }

    Command c;
    c.kind = command ? command->kind : Kind::Error;
    const QString name = command ? QString::fromLatin1(command->name) : QString();
    switch (c.kind) {
    case Kind::Alarm:
        if (const std::optional<bool> on = onOff(commandValue); on == false) {
            c.kind = Kind::AlarmOff;
        } else if (!splitTime(commandValue, &c.hour, &c.minute)) {
            return error(QStringLiteral("%1 的值 %2 不对，应为 %3或 off")
                             .arg(name, quoted(commandValue), TimeForm));
        }
        break;
    case Kind::Chime:
        if (const std::optional<bool> on = onOff(commandValue))
            c.on = *on;
        else
            return error(
                QStringLiteral("%1 的值 %2 不对，应为 on 或 off").arg(name, quoted(commandValue)));
        break;
    case Kind::ShutdownAt:
        if (!splitTime(commandValue, &c.hour, &c.minute))
            return error(QStringLiteral("%1 的值 %2 不对，应为 %3")
                             .arg(name, quoted(commandValue), TimeForm));
        break;
    case Kind::ShutdownIn:
        if (const std::optional<int> minutes = countdownMinutes(commandValue))
            c.minutes = *minutes;
        else
            return error(QStringLiteral("%1 的值 %2 不对，应为 0 到 %3 的整数分钟")
                             .arg(name, quoted(commandValue))
                             .arg(ShutdownSettings::LongestCountdown));
        break;
    default:
        break;
    }

    if (message && c.kind != Kind::Alarm)
        return error(QStringLiteral("--message 只能与 --alarm HH:MM 一起使用"));
    if (daily && c.kind != Kind::ShutdownAt)
        return error(QStringLiteral("--daily 只能与 --shutdown-at HH:MM 一起使用"));
    if (noPrompt && c.kind != Kind::ShutdownAt && c.kind != Kind::ShutdownIn)
        return error(QStringLiteral(
            "--no-prompt 只能与 --shutdown-at HH:MM 或 --shutdown-in MINUTES 一起使用"));
    c.message = message;
    c.daily = daily;
    c.noPrompt = noPrompt;
    return c;
}

QString helpText()
{
    return QStringLiteral(
        "zirvel                                   start the clock (or raise the running one), as "
        "today\n"
        "zirvel --alarm HH:MM [--message TEXT]    set the daily alarm and switch it on\n"
        "zirvel --alarm off                       switch the alarm off (its time and message "
        "stay)\n"
        "zirvel --chime on|off                    the hourly chime\n"
        "zirvel --shutdown-at HH:MM [--daily] [--no-prompt]\n"
        "                                         shut down at that time: once (the next time that "
        "time comes), or every day\n"
        "zirvel --shutdown-in MINUTES [--no-prompt]\n"
        "                                         shut down MINUTES (0-1440) minutes from now, to "
        "the second, once\n"
        "zirvel --cancel                          cancel a scheduled shutdown, including a warning "
        "already counting down\n"
        "zirvel --status                          print what is armed, one \"key<TAB>value\" line "
        "each, stable for scripts:\n"
        "                                         alarm, alarm-message, chime, shutdown (time, "
        "\"daily\" or \"once\", \"no-prompt\"),\n"
        "                                         and \"running\" yes/no\n"
        "zirvel --show | --hide | --quit          the clock's window, hidden to the tray, or the "
        "long exit\n"
        "zirvel --help | --version\n");
}

QString versionText()
{
    return QStringLiteral("Zirvel " ZIRVEL_VERSION "\n");
}

Reply Reply::failure(int exitCode, const QString &line)
{
    return Reply{exitCode, QString(), line + QLatin1Char('\n')};
}

QByteArray Reply::toJson() const
{
    const QJsonObject o{{QStringLiteral("exit"), exitCode},
                        {QStringLiteral("out"), out},
                        {QStringLiteral("err"), err}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<Reply> Reply::fromJson(const QByteArray &json)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    if (!o.value(QStringLiteral("exit")).isDouble())
        return std::nullopt;
    return Reply{o.value(QStringLiteral("exit")).toInt(), o.value(QStringLiteral("out")).toString(),
                 o.value(QStringLiteral("err")).toString()};
}

QByteArray requestJson(const QStringList &arguments)
{
    return QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
}

std::optional<QStringList> requestFromJson(const QByteArray &json)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isArray())
        return std::nullopt;
    QStringList arguments;
    for (const QJsonValue &v : doc.array()) {
        if (!v.isString())
            return std::nullopt;
        arguments << v.toString();
    }
    return arguments;
}

} // namespace CommandLine
