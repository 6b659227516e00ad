#include "desktopentryreader.h"

#include <QProcess>
#include <QStandardPaths>

namespace DesktopEntryReader {

namespace {

std::optional<QString> unescapeValue(const QString &raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i == raw.size())
            return std::nullopt;
        switch (raw.at(i).unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

bool isReserved(QChar c)
{
    return QStringLiteral(" \t\n\"'\\><~|&;$*?#()`").contains(c);
}

} // namespace

std::optional<QMap<QString, QString>> mainGroup(const QString &fileText)
{
    QMap<QString, QString> keys;
    QString group;
    bool seenMain = false;
    const QStringList lines = fileText.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines.at(n);
        if (line.isEmpty() && n == lines.size() - 1)
            break;
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return std::nullopt;
            group = line.mid(1, line.size() - 2);
            if (group == QLatin1String("Desktop Entry")) {
                if (seenMain)
                    return std::nullopt;
                seenMain = true;
            }
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || group.isEmpty())
            return std::nullopt;
        if (group != QLatin1String("Desktop Entry"))
            continue;
        const QString key = line.left(eq).trimmed();
        // Spaces around "=" are ignored; a value's own leading space is \s.
        QString raw = line.mid(eq + 1);
        while (raw.startsWith(QLatin1Char(' ')))
            raw.remove(0, 1);
        const std::optional<QString> value = unescapeValue(raw);
        if (!value || keys.contains(key))
            return std::nullopt;
        keys.insert(key, *value);
    }
    if (!seenMain)
        return std::nullopt;
    return keys;
}

std::optional<QStringList> execArguments(const QString &exec)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c == QLatin1Char('%')) {
            if (i + 1 < exec.size() && exec.at(i + 1) == QLatin1Char('%')) {
                word += c;
                inWord = true;
                ++i;
                continue;
            }
            return std::nullopt; // a field code, or a lone "%"
        }
        if (quoted) {
            if (c == QLatin1Char('"')) {
                quoted = false;
                if (i + 1 < exec.size() && exec.at(i + 1) != QLatin1Char(' '))
                    return std::nullopt;
                continue;
            }
            if (c == QLatin1Char('\\')) {
                if (++i == exec.size())
                    return std::nullopt;
                const QChar next = exec.at(i);
                if (!QStringLiteral("\"`$\\").contains(next))
                    return std::nullopt;
                word += next;
                continue;
            }
            if (c == QLatin1Char('$') || c == QLatin1Char('`'))
                return std::nullopt; // must be escaped inside quotes
            word += c;
            continue;
        }
        if (c == QLatin1Char(' ')) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (inWord)
                return std::nullopt; // quotes must enclose the whole word
            quoted = true;
            inWord = true;
            continue;
        }
        if (isReserved(c))
            return std::nullopt;
        word += c;
        inWord = true;
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words << word;
    return words;
}

std::optional<QString> validate(const QString &path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(tool, {path});
    if (!p.waitForFinished(60000))
        return QStringLiteral("desktop-file-validate did not finish");
    const QString output = QString::fromUtf8(p.readAll()).trimmed();
    // Errors, warnings and hints alike: a clean entry draws no remark.
    if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return output;
    return output.isEmpty() ? QStringLiteral("rejected") : output;
}

} // namespace DesktopEntryReader
