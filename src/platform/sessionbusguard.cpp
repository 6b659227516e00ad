#include "platform/sessionbusguard.h"

#include "platform/busclient.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

struct Probe {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
};

} // namespace

bool keepQtOffSilentSessionBus(const QString &address, std::chrono::milliseconds answerWithin)
{
    if (address.isEmpty())
        return true;
    auto probe = std::make_shared<Probe>();
    const auto deadline = std::chrono::steady_clock::now() + answerWithin;
    try {
        // Detached: a connect() that never returns must not hold the program.
        std::thread([probe, address, deadline] {
            BusClient bus;
            const BusReply reply = bus.open(address, deadline);
            if (reply.status == BusReply::Status::NoAnswer)
                return;
            const std::lock_guard lock(probe->mutex);
            probe->done = true;
            probe->answered.notify_all();
        }).detach();
    } catch (const std::system_error &) {
        return true; // no thread to ask with: leave the bus to Qt
    }
    std::unique_lock lock(probe->mutex);
    if (probe->answered.wait_until(lock, deadline + std::chrono::milliseconds(500),
                                   [&probe] { return probe->done; }))
        return true;
    // An address of an unknown kind: libdbus refuses it at once, spawning nothing.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    return false;
}
