#include "autostart/autostartentry.h"

#include "platform/atomicfile.h"
#include "platform/regularfile.h"

#include <QDir>
#include <QStandardPaths>

#include <QStringList>
#include <optional>

AutostartFolders AutostartFolders::standard()
{
    AutostartFolders folders;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty())
        folders.user = config + QStringLiteral("/autostart");
    folders.system = QStringLiteral("/etc/xdg/autostart");
    return folders;
}

namespace AutostartEntry {

namespace {

// Characters that make an Exec word need quotes ("Exec key" in the Desktop
// Entry rules), plus the remaining whitespace.
bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// Inside double quotes these must be preceded by a backslash.
bool needsEscapeInQuotes(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
           c == QLatin1Char('\\');
}

} // namespace

QString execArgument(const QString &argument)
{
    bool quote = argument.isEmpty();
    for (QChar c : argument)
        quote = quote || isReserved(c);

    QString word;
    if (quote)
        word += QLatin1Char('"');
    for (QChar c : argument) {
        if (quote && needsEscapeInQuotes(c))
            word += QLatin1Char('\\');
        word += c;
        // A literal percent sign is "%%"; a single one starts a field code.
        if (c == QLatin1Char('%'))
            word += QLatin1Char('%');
    }
    if (quote)
        word += QLatin1Char('"');
    return word;
}

QString keyFileValue(const QString &value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case ' ':
            // Readers trim spaces around the value.
            if (i == 0 || i == value.size() - 1)
                out += QLatin1String("\\s");
            else
                out += c;
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool isStorable(const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\t' || u == '\n' || u == '\r')
            continue;
        if (u < 0x20 || u == 0x7f)
            return false;
    }
    return true;
}

namespace {
QString header()
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Zirvel\n");
}
} // namespace

QString enabledText(const QString &program)
{
    return header() + QStringLiteral("Exec=") + keyFileValue(execArgument(program)) +
           QLatin1Char('\n');
}

QString disabledText(const QString &rawExec)
{
    QString text = header();
    if (!rawExec.isEmpty())
        text += QStringLiteral("Exec=") + rawExec + QLatin1Char('\n');
    text += QStringLiteral("Hidden=true\n");
    return text;
}

namespace {

/// The value of a key of the [Desktop Entry] group, as it stands; nothing
/// when the group has no such key.
std::optional<QString> mainGroupValue(const QString &fileText, QLatin1String key)
{
    bool inMainGroup = false;
    const QStringList lines = fileText.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            inMainGroup = trimmed == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed() != key)
            continue;
        QString value = line.mid(eq + 1);
        while (value.startsWith(QLatin1Char(' ')) || value.startsWith(QLatin1Char('\t')))
            value.remove(0, 1);
        if (value.endsWith(QLatin1Char('\r')))
            value.chop(1);
        return value;
    }
    return std::nullopt;
}

} // namespace

QString rawExecOf(const QString &fileText)
{
    return mainGroupValue(fileText, QLatin1String("Exec")).value_or(QString());
}

bool startsAtLogOn(const QString &fileText)
{
    return !rawExecOf(fileText).isEmpty() &&
           mainGroupValue(fileText, QLatin1String("Hidden")) != QLatin1String("true");
}

} // namespace AutostartEntry

namespace {

bool isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        if (c == QLatin1Char('/') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

} // namespace

bool autostartEntryStarts(const QString &folder, const QString &name)
{
    if (folder.isEmpty() || !isPlainFileName(name))
        return false;
    const RegularFile::Content entry =
        RegularFile::read(QDir(folder).filePath(name + QStringLiteral(".desktop")), 64 * 1024);
    return entry.state == RegularFile::Content::State::Read &&
           AutostartEntry::startsAtLogOn(QString::fromUtf8(entry.bytes));
}

bool writeAutostartEntry(const QString &folder, const QString &name, const QString &program,
                         QString *reason)
{
    using namespace AutostartEntry;
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (folder.isEmpty())
        return fail(QStringLiteral("没有存放启动项的文件夹"));
    if (!isPlainFileName(name))
        return fail(QStringLiteral("启动项的名字不能作文件名"));
    if (!isStorable(program))
        return fail(QStringLiteral("程序的路径含有启动项不能保存的字符"));
    const QString path = QDir(folder).filePath(name + QStringLiteral(".desktop"));

    QString text;
    if (!program.isEmpty()) {
        text = enabledText(program);
    } else {
        // Only a regular file is read: a FIFO planted there must not hang us.
        QString previous;
        const RegularFile::Content old = RegularFile::read(path, 64 * 1024);
        if (old.state == RegularFile::Content::State::Read)
            previous = rawExecOf(QString::fromUtf8(old.bytes));
        if (!isStorable(previous))
            previous.clear();
        text = disabledText(previous);
    }
    return AtomicFile::replace(path, text.toUtf8(), reason);
}
