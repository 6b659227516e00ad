#include "platform/logindpower.h"

namespace {

BusCall managerCall(const QString &method, const QVariantList &args = {})
{
    return {QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), method, args};
}

} // namespace

LogindAnswer requestFromLogind(BusClient &systemBus, PowerRequest what,
                               std::chrono::milliseconds answerWithin)
{
    const auto within = [answerWithin] { return std::chrono::steady_clock::now() + answerWithin; };
    LogindAnswer answer;
    answer.reply =
        systemBus.call(managerCall(what == PowerRequest::PowerOff ? QStringLiteral("PowerOff")
                                                                  : QStringLiteral("Reboot"),
                                   {false}),
                       within());
    if (answer.reply.status == BusReply::Status::Error) {
        const BusReply listed =
            systemBus.call(managerCall(QStringLiteral("ListInhibitors")), within());
        if (listed.ok())
            answer.blockers = shutdownBlockers(listed.values.value(0).toList());
    }
    return answer;
}

QList<PowerInhibitor> shutdownBlockers(const QVariantList &inhibitors)
{
    QList<PowerInhibitor> blockers;
    for (const QVariant &entry : inhibitors) {
        const QVariantList fields = entry.toList();
        if (fields.size() < 4)
            continue;
        const QStringList what = fields.at(0).toString().split(QLatin1Char(':'));
        if (what.contains(QLatin1String("shutdown")) &&
            fields.at(3).toString() == QLatin1String("block"))
            blockers.append({fields.at(1).toString(), fields.at(2).toString()});
    }
    return blockers;
}
