#include "platform/canberrasoundplayer.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <canberra.h>

Q_LOGGING_CATEGORY(lcSound, "zirvel.sound", QtWarningMsg)

namespace {

// Every request carries the same id, so cancelling it stops whatever this
// player started last: one sound at a time.
constexpr uint32_t SoundId = 1;

// Errors after which a fresh connection may succeed: the server went away
// or was restarted since the context was opened.
bool connectionLost(int code)
{
    return code == CA_ERROR_DISCONNECTED || code == CA_ERROR_STATE || code == CA_ERROR_DESTROYED ||
           code == CA_ERROR_NOTAVAILABLE;
}

} // namespace

CanberraSoundPlayer::CanberraSoundPlayer() = default;

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    dropContext();
}

bool CanberraSoundPlayer::openContext(const char *driver)
{
    ca_context *context = nullptr;
    m_lastError = ca_context_create(&context);
    if (m_lastError != CA_SUCCESS)
        return false;
    if (driver)
        ca_context_set_driver(context, driver);
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Zirvel", CA_PROP_APPLICATION_ID,
                            "zirvel", nullptr);
    m_lastError = ca_context_open(context);
    if (m_lastError != CA_SUCCESS) {
        ca_context_destroy(context);
        return false;
    }
    m_context = context;
    m_driver = QString::fromLatin1(driver ? driver : "default");
    return true;
}

bool CanberraSoundPlayer::ensureContext()
{
    if (m_context)
        return true;
    // The PulseAudio backend (PulseAudio and PipeWire servers) first: only
    // it stops a sound on request. Failing that, whatever libcanberra finds
    // (plain ALSA), where a new sound plays over the one still playing.
    return openContext("pulse") || openContext(nullptr);
}

void CanberraSoundPlayer::dropContext()
{
    if (m_context)
        ca_context_destroy(m_context);
    m_context = nullptr;
    m_driver.clear();
}

int CanberraSoundPlayer::startPlayback(const QByteArray &file)
{
    ca_context_cancel(m_context, SoundId);
    ca_proplist *props = nullptr;
    int code = ca_proplist_create(&props);
    if (code != CA_SUCCESS)
        return code;
    // A file name and no event id: nothing is looked up in a sound theme and
    // nothing is kept in the server's sample cache, so a changed file plays
    // as it is now.
    ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, file.constData());
    ca_proplist_sets(props, CA_PROP_MEDIA_ROLE, "event");
    ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
    code = ca_context_play_full(m_context, SoundId, props, nullptr, nullptr);
    ca_proplist_destroy(props);
    return code;
}

SoundStart CanberraSoundPlayer::play(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        m_lastError = CA_ERROR_NOTFOUND;
        qCInfo(lcSound) << "cannot read" << path;
        return SoundStart::fileUnreadable();
    }
    if (!ensureContext()) {
        qCInfo(lcSound) << "no sound service:" << ca_strerror(m_lastError);
        return failure();
    }
    const QByteArray file = QFile::encodeName(info.absoluteFilePath());
    m_lastError = startPlayback(file);
    if (connectionLost(m_lastError)) {
        dropContext();
        if (ensureContext())
            m_lastError = startPlayback(file);
    }
    if (m_lastError == CA_SUCCESS)
        return {};
    qCInfo(lcSound) << "cannot play" << path << ca_strerror(m_lastError);
    return failure();
}

SoundStart CanberraSoundPlayer::failure() const
{
    // The file went away or became unreadable between the check and the
    // request: still the file's fault.
    if (m_lastError == CA_ERROR_NOTFOUND || m_lastError == CA_ERROR_ACCESS)
        return SoundStart::fileUnreadable();
    return SoundStart::failed(QString::fromUtf8(ca_strerror(m_lastError)));
}
