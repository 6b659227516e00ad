#include "shutdown/powerfailuretext.h"

#include <QStringList>

namespace {

QString partyName(const PowerFailure &f)
{
    switch (f.party) {
    case PowerParty::SessionBus:
        return QStringLiteral("会话总线");
    case PowerParty::SessionManager:
        return QStringLiteral("会话管理器 ") + f.service;
    case PowerParty::SystemBus:
        return QStringLiteral("系统总线");
    case PowerParty::Logind:
        return QStringLiteral("systemd-logind");
    }
    return {};
}

/// The name between Chinese text, with a space on each side that is Latin.
QString embedded(const QString &name)
{
    QString s = name;
    if (!s.isEmpty() && s.back().unicode() < 0x80)
        s += QLatin1Char(' ');
    if (!s.isEmpty() && s.front().unicode() < 0x80)
        s.prepend(QLatin1Char(' '));
    return s;
}

} // namespace

QString powerFailureText(PowerRequest what, const PowerFailure &f)
{
    const bool off = what == PowerRequest::PowerOff;
    QStringList lines{off ? QStringLiteral("无法关闭计算机。")
                          : QStringLiteral("无法重新启动计算机。")};
    const QString party = embedded(partyName(f));
    switch (f.kind) {
    case PowerFailure::Kind::Refused:
        lines << QStringLiteral("请求被%1拒绝：").arg(party).trimmed();
        break;
    case PowerFailure::Kind::Unreachable:
        lines << QStringLiteral("无法连接%1：").arg(party).trimmed();
        break;
    case PowerFailure::Kind::NoAnswer:
        lines
            << QStringLiteral("%1在 %2 秒内没有应答。").arg(party).arg(f.timeoutSeconds).trimmed();
        break;
    }
    if (f.kind != PowerFailure::Kind::NoAnswer) {
        if (!f.errorName.isEmpty())
            lines << f.errorName;
        if (!f.errorMessage.isEmpty())
            lines << f.errorMessage;
    }
    if (!f.inhibitors.isEmpty()) {
        lines << (off ? QStringLiteral("阻止关机的程序：")
                      : QStringLiteral("阻止重新启动的程序："));
        for (const PowerInhibitor &i : f.inhibitors)
            lines << (i.why.isEmpty() ? i.who : i.who + QStringLiteral("：") + i.why);
    }
    return lines.join(QLatin1Char('\r'));
}
