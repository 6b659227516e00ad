#include "platform/desktoppower.h"

#include "platform/busclient.h"
#include "platform/logindpower.h"
#include "platform/sessionmanagerchooser.h"
#include "platform/sessionmanagers.h"

#include <QFileInfo>
#include <QTimer>

#include <chrono>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

// How often the event loop looks for the outcome, and how long past a
// wait's own deadline the watchdog lets it run before giving up on it.
constexpr milliseconds PollInterval{50};
constexpr milliseconds WatchdogGrace{1500};

/// One request, shared by its worker thread and the event loop's poller.
class PowerJob {
public:
    explicit PowerJob(milliseconds answerWithin) : m_answerWithin(answerWithin) {}

    /// Worker: who the next waits are on.
    void waitingOn(PowerParty party, const QString &service = {})
    {
        const std::lock_guard lock(m_mutex);
        m_party = party;
        m_service = service;
    }
    /// Worker: a wait starts that should end by `deadline`.
    void waitUntil(BusClient::Deadline deadline)
    {
        const std::lock_guard lock(m_mutex);
        m_deadline = deadline;
    }
    /// Worker: true when the request may still go out. False once the
    /// watchdog gave up on it: the user has been told it failed, so it must
    /// not take effect after all.
    bool proceed()
    {
        const std::lock_guard lock(m_mutex);
        m_deadline = BusClient::Deadline::max() - WatchdogGrace;
        return !m_outcome;
    }
    void finish(PowerOutcome outcome)
    {
        const std::lock_guard lock(m_mutex);
        if (!m_outcome)
            m_outcome = std::move(outcome);
    }
    /// Event loop: the outcome once there is one; a wait that overran its
    /// deadline is one too.
    std::optional<PowerOutcome> take()
    {
        const std::lock_guard lock(m_mutex);
        if (!m_outcome && SteadyClock::now() > m_deadline + WatchdogGrace) {
            PowerFailure failure;
            failure.kind = PowerFailure::Kind::NoAnswer;
            failure.party = m_party;
            failure.service = m_service;
            failure.timeoutSeconds =
                int(std::chrono::ceil<std::chrono::seconds>(m_answerWithin).count());
            m_outcome = PowerOutcome{{}, failure};
        }
        return m_outcome;
    }
    milliseconds answerWithin() const { return m_answerWithin; }

private:
    std::mutex m_mutex;
    const milliseconds m_answerWithin;
    PowerParty m_party = PowerParty::SessionBus;
    QString m_service;
    BusClient::Deadline m_deadline = BusClient::Deadline::max() - WatchdogGrace;
    std::optional<PowerOutcome> m_outcome;
};

PowerOutcome failed(const BusReply &reply, PowerParty party, PowerParty busParty,
                    const PowerJob &job, const QString &service = {})
{
    PowerFailure f;
    switch (reply.status) {
    case BusReply::Status::Answered:
    case BusReply::Status::Error:
        f.kind = PowerFailure::Kind::Refused;
        break;
    case BusReply::Status::Unreachable:
        f.kind = PowerFailure::Kind::Unreachable;
        party = busParty;
        break;
    case BusReply::Status::NoAnswer:
        f.kind = PowerFailure::Kind::NoAnswer;
        break;
    }
    f.party = party;
    if (party == PowerParty::SessionManager)
        f.service = service;
    f.errorName = reply.errorName;
    f.errorMessage = reply.errorMessage;
    f.timeoutSeconds = int(std::chrono::ceil<std::chrono::seconds>(job.answerWithin()).count());
    return {{}, f};
}

/// The whole request, on the worker thread.
PowerOutcome run(const PowerBuses &buses, PowerRequest what, PowerJob &job)
{
    const milliseconds t = job.answerWithin();
    const auto within = [t] { return SteadyClock::now() + t; };
    const auto hook = [&job](BusClient::Deadline d) { job.waitUntil(d); };

    if (!buses.sessionAddress.isEmpty()) {
        job.waitingOn(PowerParty::SessionBus);
        BusClient session(hook);
        const BusReply opened = session.open(buses.sessionAddress, within());
        if (opened.status == BusReply::Status::NoAnswer)
            return failed(opened, PowerParty::SessionBus, PowerParty::SessionBus, job);
        // A session bus that cannot be reached at all has no session manager
        // on it: logind below.
        if (opened.ok()) {
            BusReply listed;
            const QStringList owned = session.names(false, within(), &listed);
            if (!listed.ok())
                return failed(listed, PowerParty::SessionBus, PowerParty::SessionBus, job);
            const QStringList activatable = session.names(true, within(), &listed);
            if (!listed.ok())
                return failed(listed, PowerParty::SessionBus, PowerParty::SessionBus, job);
            if (const auto kind = chooseSessionManager(owned, activatable, buses.currentDesktops)) {
                const std::unique_ptr<SessionManager> manager = makeSessionManager(*kind);
                job.waitingOn(PowerParty::SessionManager, manager->service());
                if (!job.proceed())
                    return {};
                const BusReply answer = manager->request(session, what, t);
                if (answer.ok())
                    return {manager->service(), {}};
                return failed(answer, PowerParty::SessionManager, PowerParty::SessionBus, job,
                              manager->service());
            }
        }
    }

    job.waitingOn(PowerParty::SystemBus);
    BusClient system(hook);
    const BusReply opened = system.open(buses.systemAddress, within());
    if (!opened.ok())
        return failed(opened, PowerParty::SystemBus, PowerParty::SystemBus, job);
    job.waitingOn(PowerParty::Logind);
    if (!job.proceed())
        return {};
    const LogindAnswer answer = requestFromLogind(system, what, t);
    if (answer.reply.ok())
        return {QStringLiteral("org.freedesktop.login1"), {}};
    PowerOutcome outcome = failed(answer.reply, PowerParty::Logind, PowerParty::SystemBus, job);
    outcome.failure->inhibitors = answer.blockers;
    return outcome;
}

} // namespace

PowerBuses PowerBuses::fromEnvironment()
{
    PowerBuses buses;
    // D-Bus reference, "Well-known Message Bus Instances"; the per-user
    // bus at $XDG_RUNTIME_DIR/bus is where libdbus looks when the variable is unset.
    buses.sessionAddress = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (buses.sessionAddress.isEmpty()) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        const QString socket = runtime + QStringLiteral("/bus");
        if (!runtime.isEmpty() && QFileInfo::exists(socket))
            buses.sessionAddress = QStringLiteral("unix:path=") + socket;
    }
    buses.systemAddress = qEnvironmentVariable(
        "DBUS_SYSTEM_BUS_ADDRESS", QStringLiteral("unix:path=/var/run/dbus/system_bus_socket"));
    buses.currentDesktops = currentDesktopsFromEnvironment();
    return buses;
}

DesktopPowerBackend::DesktopPowerBackend(PowerBuses buses, milliseconds answerWithin,
                                         QObject *parent)
    : QObject(parent), m_buses(std::move(buses)), m_answerWithin(answerWithin)
{
}

void DesktopPowerBackend::request(PowerRequest what, Done done)
{
    auto job = std::make_shared<PowerJob>(m_answerWithin);
    try {
        // Detached: a thread stuck in connect() must not hold up the end of the program.
        std::thread([job, buses = m_buses, what] { job->finish(run(buses, what, *job)); }).detach();
    } catch (const std::system_error &e) {
        PowerFailure failure;
        failure.kind = PowerFailure::Kind::Unreachable;
        failure.party =
            m_buses.sessionAddress.isEmpty() ? PowerParty::SystemBus : PowerParty::SessionBus;
        failure.errorName = QStringLiteral("std::system_error");
        failure.errorMessage = QString::fromLocal8Bit(e.what());
        job->finish({{}, failure});
    }
    auto *poll = new QTimer(this);
    poll->setInterval(PollInterval);
    connect(poll, &QTimer::timeout, this, [job, poll, done = std::move(done)] {
        const std::optional<PowerOutcome> outcome = job->take();
        if (!outcome)
            return;
        poll->stop();
        poll->deleteLater();
        done(*outcome);
    });
    poll->start();
}
