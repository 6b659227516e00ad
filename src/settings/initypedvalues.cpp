#include "settings/initypedvalues.h"

#include <QStringDecoder>

namespace IniTypedValues {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isLineSpecial(char c)
{
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int octValue(char c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

/// One logical line of an INI file, as QSettings' reader splits the file: it
/// ends at a line break outside double quotes or at a ";" (a comment) outside
/// them; a backslash carries the next character, and a CR LF or LF CR pair
/// after it, into the line; a ";" at the start makes the whole line a
/// comment. Blanks before it are skipped.
struct Line {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1; ///< the first "=" outside quotes, or -1
};

bool nextLine(QByteArrayView data, qsizetype &pos, Line &line)
{
    const qsizetype size = data.size();
    bool inQuotes = false;
    line.equals = -1;
    line.start = pos;
    while (line.start < size && isBlank(data[line.start]))
        ++line.start;
    qsizetype i = line.start;
    while (i < size) {
        char c = data[i++];
        if (!isLineSpecial(c))
            continue;
        if (c == '=') {
            if (!inQuotes && line.equals == -1)
                line.equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == line.start + 1) {
                ++line.start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < size) {
                const char next = data[i++];
                if (i < size) {
                    const char after = data[i];
                    if ((next == '\n' && after == '\r') || (next == '\r' && after == '\n'))
                        ++i;
                }
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else { // ';'
            if (i == line.start + 1) {
                while (i < size && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < size && isBlank(data[i]))
                    ++i;
                line.start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line.length = i - line.start;
    return line.length > 0;
}

void chopTrailingBlanks(QString &text, qsizetype limit)
{
    while (text.size() > limit && (text.back() == u' ' || text.back() == u'\t'))
        text.chop(1);
}

/// Whether QSettings reads the text as something other than a text: "@...)"
/// is a typed value, except "@@..." and "@String(...)", the forms it writes
/// texts in (a text starting with "@", a text holding a NUL character).
bool isTyped(const QString &text)
{
    return text.startsWith(u'@') && text.endsWith(u')') && !text.startsWith(QLatin1String("@@")) &&
           !text.startsWith(QLatin1String("@String("));
}

} // namespace

QStringList unescaped(QByteArrayView value, bool *isList)
{
    QStringList elements;
    QString current;
    bool inQuotes = false;
    bool currentQuoted = false;
    bool list = false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    qsizetype i = 0;
    const qsizetype size = value.size();

    auto skipBlanks = [&] {
        while (i < size && (value[i] == ' ' || value[i] == '\t'))
            ++i;
    };
    skipBlanks();
    qsizetype chopLimit = 0; // blanks before this were escaped or quoted: kept
    bool ended = false;      // by a "\" or "\x" at the very end: nothing trimmed
    while (i < size) {
        const char c = value[i];
        if (c == '\\') {
            if (++i >= size) {
                ended = true;
                break;
            }
            const char e = value[i++];
            static constexpr char simple[][2] = {
                {'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
            bool done = false;
            for (const auto &pair : simple) {
                if (e == pair[0]) {
                    current += QLatin1Char(pair[1]);
                    done = true;
                    break;
                }
            }
            if (done) {
                chopLimit = current.size();
                continue;
            }
            if (e == 'x' || octValue(e) >= 0) {
                // Digits as long as they come; the value kept in 16 bits.
                const bool hex = e == 'x';
                if (hex && (i >= size || hexValue(value[i]) < 0)) {
                    if (i >= size) {
                        ended = true;
                        break;
                    }
                    chopLimit = current.size();
                    continue; // "\x" with no digit adds nothing
                }
                char16_t code = hex ? 0 : char16_t(octValue(e));
                while (i < size) {
                    const int digit = hex ? hexValue(value[i]) : octValue(value[i]);
                    if (digit < 0)
                        break;
                    code = char16_t((code << (hex ? 4 : 3)) + digit);
                    ++i;
                }
                current += QChar(code);
                chopLimit = current.size();
                continue;
            }
            if ((e == '\n' || e == '\r') && i < size && (value[i] == '\n' || value[i] == '\r') &&
                value[i] != e)
                ++i;
            // Any other escaped character is dropped.
            chopLimit = current.size();
            continue;
        }
        if (c == '"') {
            ++i;
            currentQuoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                chopLimit = current.size();
            }
            continue;
        }
        if (c == ',' && !inQuotes) {
            if (!currentQuoted)
                chopTrailingBlanks(current, chopLimit);
            list = true;
            elements << current;
            current.clear();
            currentQuoted = false;
            ++i;
            skipBlanks();
            chopLimit = 0;
            continue;
        }
        qsizetype j = i + 1;
        while (j < size && value[j] != '\\' && value[j] != '"' && value[j] != ',')
            ++j;
        current += utf8(value.sliced(i, j - i));
        i = j;
    }
    if (!currentQuoted && !ended)
        chopTrailingBlanks(current, chopLimit);
    elements << current;
    if (isList)
        *isList = list;
    return elements;
}

Cleaned remove(QByteArrayView ini)
{
    Cleaned cleaned;
    qsizetype copied = 0; // bytes of `ini` already in cleaned.bytes
    qsizetype pos = 0;
    Line line;
    while (nextLine(ini, pos, line)) {
        if (ini[line.start] == '[' || line.equals < 0)
            continue;
        const qsizetype valueStart = line.equals + 1;
        const qsizetype valueEnd = line.start + line.length;
        const QStringList texts = unescaped(ini.sliced(valueStart, valueEnd - valueStart), nullptr);
        bool typed = false;
        for (const QString &text : texts)
            typed = typed || isTyped(text);
        if (!typed)
            continue;
        cleaned.bytes += ini.sliced(copied, valueStart - copied);
        copied = valueEnd;
        ++cleaned.removed;
    }
    cleaned.bytes += ini.sliced(copied);
    return cleaned;
}

} // namespace IniTypedValues
