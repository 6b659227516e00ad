#include "platform/canberrasoundplayer.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QLoggingCategory>

#include <canberra.h>

#include <type_traits>

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

/// The libcanberra calls the player makes, looked up once the library is loaded.
struct CanberraSoundPlayer::Library {
    QLibrary file;
    decltype(&ca_context_create) contextCreate = nullptr;
    decltype(&ca_context_set_driver) setDriver = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    decltype(&ca_context_open) contextOpen = nullptr;
    decltype(&ca_context_destroy) contextDestroy = nullptr;
    decltype(&ca_context_cancel) cancel = nullptr;
    decltype(&ca_context_play_full) playFull = nullptr;
    decltype(&ca_proplist_create) proplistCreate = nullptr;
    decltype(&ca_proplist_sets) proplistSets = nullptr;
    decltype(&ca_proplist_destroy) proplistDestroy = nullptr;
    decltype(&ca_strerror) strerror = nullptr;

    /// Every call found; otherwise the reason, in the loader's words.
    QString resolve()
    {
        if (!file.load())
            return file.errorString();
        const auto find = [this](auto &function, const char *name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(file.resolve(name));
            return function != nullptr;
        };
        if (find(contextCreate, "ca_context_create") && find(setDriver, "ca_context_set_driver") &&
            find(changeProps, "ca_context_change_props") && find(contextOpen, "ca_context_open") &&
            find(contextDestroy, "ca_context_destroy") && find(cancel, "ca_context_cancel") &&
            find(playFull, "ca_context_play_full") && find(proplistCreate, "ca_proplist_create") &&
            find(proplistSets, "ca_proplist_sets") &&
            find(proplistDestroy, "ca_proplist_destroy") && find(strerror, "ca_strerror"))
            return {};
        return file.errorString();
    }
};

CanberraSoundPlayer::CanberraSoundPlayer(const QString &library) : m_libraryName(library) {}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    dropContext();
}

bool CanberraSoundPlayer::loadLibrary()
{
    if (!m_library) { // tried once; a library that failed to load is not tried again
        m_library = std::make_unique<Library>();
        m_library->file.setFileName(m_libraryName);
        m_loadError = m_library->resolve();
    }
    if (!m_loadError.isEmpty())
        m_lastError = CA_ERROR_NOTSUPPORTED; // not the code of an earlier request
    return m_loadError.isEmpty();
}

bool CanberraSoundPlayer::openContext(const char *driver)
{
    const Library &ca = *m_library;
    ca_context *context = nullptr;
    m_lastError = ca.contextCreate(&context);
    if (m_lastError != CA_SUCCESS)
        return false;
    if (driver)
        ca.setDriver(context, driver);
    ca.changeProps(context, CA_PROP_APPLICATION_NAME, "Zirvel", CA_PROP_APPLICATION_ID, "zirvel",
                   nullptr);
    m_lastError = ca.contextOpen(context);
    if (m_lastError != CA_SUCCESS) {
        ca.contextDestroy(context);
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
    if (!loadLibrary())
        return false;
    // The PulseAudio backend (PulseAudio and PipeWire servers) first: only
    // it stops a sound on request. Failing that, whatever libcanberra finds
    // (plain ALSA), where a new sound plays over the one still playing.
    return openContext("pulse") || openContext(nullptr);
}

void CanberraSoundPlayer::dropContext()
{
    if (m_context)
        m_library->contextDestroy(m_context);
    m_context = nullptr;
    m_driver.clear();
}

int CanberraSoundPlayer::startPlayback(const QByteArray &file)
{
    const Library &ca = *m_library;
    ca.cancel(m_context, SoundId);
    ca_proplist *props = nullptr;
    int code = ca.proplistCreate(&props);
    if (code != CA_SUCCESS)
        return code;
    // A file name and no event id: nothing is looked up in a sound theme and
    // nothing is kept in the server's sample cache, so a changed file plays
    // as it is now.
    ca.proplistSets(props, CA_PROP_MEDIA_FILENAME, file.constData());
    ca.proplistSets(props, CA_PROP_MEDIA_ROLE, "event");
    ca.proplistSets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
    code = ca.playFull(m_context, SoundId, props, nullptr, nullptr);
    ca.proplistDestroy(props);
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
        qCInfo(lcSound) << "no sound service:" << errorText();
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
    qCInfo(lcSound) << "cannot play" << path << errorText();
    return failure();
}

SoundStart CanberraSoundPlayer::failure() const
{
    // The file went away or became unreadable between the check and the
    // request: still the file's fault.
    if (m_lastError == CA_ERROR_NOTFOUND || m_lastError == CA_ERROR_ACCESS)
        return SoundStart::fileUnreadable();
    return SoundStart::failed(errorText());
}

QString CanberraSoundPlayer::errorText() const
{
    if (!m_loadError.isEmpty())
        return m_loadError;
    return QString::fromUtf8(m_library->strerror(m_lastError));
}
