#include "settings/settingskeys.h"

#include "time/timetext.h"

#include <QDate>

namespace {

constexpr KeyInfo table[] = {
    {Keys::MainLeft, KeyKind::Number},   {Keys::MainTop, KeyKind::Number},
    {Keys::ChkIntTime, KeyKind::Flag},   {Keys::ChkOpenClose, KeyKind::Flag},
    {Keys::ChkImedClose, KeyKind::Flag}, {Keys::ChkCloseTime, KeyKind::Flag},
    {Keys::Timer, KeyKind::Time},        {Keys::ChkAutoRun, KeyKind::Flag},
    {Keys::Hour, KeyKind::Text},         {Keys::Minute, KeyKind::Text},
    {Keys::Prompt, KeyKind::Text},       {Keys::ITimer, KeyKind::Time},
    {Keys::ChkYnTimer, KeyKind::Flag},   {Keys::TimerDate, KeyKind::Date},
};

} // namespace

const KeyInfo *findKey(const QString &name)
{
    for (const KeyInfo &info : table) {
        if (name.compare(QLatin1String(info.name), Qt::CaseInsensitive) == 0)
            return &info;
    }
    return nullptr;
}

bool isValidValue(KeyKind kind, const QString &text)
{
    switch (kind) {
    case KeyKind::Flag: {
        bool ok = false;
        text.trimmed().toShort(&ok);
        return ok;
    }
    case KeyKind::Time:
        return text.isEmpty() || TimeText::parse(text).has_value();
    case KeyKind::Date:
        return text.isEmpty() || QDate::fromString(text, Qt::ISODate).isValid();
    case KeyKind::Number: {
        bool ok = false;
        text.toDouble(&ok);
        return ok;
    }
    case KeyKind::Text:
        return true;
    }
    return true;
}

bool Keys::touched(const QStringList &names, const QList<const char *> &keys)
{
    for (const char *key : keys) {
        const QString name = QLatin1String(Section).toString().toLower() + QLatin1Char('/') +
                             QString::fromLatin1(key).toLower();
        if (names.contains(name))
            return true;
    }
    return false;
}
