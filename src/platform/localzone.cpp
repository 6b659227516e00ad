#include "platform/localzone.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdlib>
#include <ctime>

namespace {
// The value of TZ while a LocalZone keeps the zone; empty when it does not.
QByteArray &ownTz()
{
    static QByteArray value;
    return value;
}
} // namespace

LocalZone::LocalZone(const QString &zoneFile, QObject *parent)
    : QObject(parent), m_zoneFile(zoneFile)
{
    if (qEnvironmentVariableIsSet("TZ"))
        return; // the user's choice, read once by the C library already
    if (!QCoreApplication::instance())
        return; // no event loop to hear of a change: the C library keeps looking
    const QString folder = QFileInfo(zoneFile).absolutePath();
    // Without a watch a change would go unseen: then the C library keeps
    // checking the file itself.
    if (m_watcher.addPath(folder)) {
        m_watcher.addPath(zoneFile); // may be missing for a while: the folder shows it coming
        connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &LocalZone::reread);
        connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &LocalZone::reread);
        ownTz() = ':' + QFile::encodeName(zoneFile);
        qputenv("TZ", ownTz());
        tzset();
        m_kept = true;
    }
}

LocalZone::~LocalZone()
{
    if (m_kept && qgetenv("TZ") == ownTz()) {
        qunsetenv("TZ");
        ownTz().clear();
        tzset();
    }
}

bool LocalZone::ownsTz()
{
    return !ownTz().isEmpty() && qgetenv("TZ") == ownTz();
}

void LocalZone::reread()
{
    if (!m_kept)
        return;
    // The C library reads a zone file again only when TZ names another one:
    // the default zone for a moment, then ours again. Either read checks
    // the file and reads it only when it is another file or was changed.
    qunsetenv("TZ");
    tzset();
    qputenv("TZ", ownTz());
    tzset();
    watch();
    emit changed();
}

void LocalZone::watch()
{
    // A replaced file, or a link that now points elsewhere, is another
    // file: the watch follows the path to it.
    m_watcher.removePath(m_zoneFile);
    m_watcher.addPath(m_zoneFile);
}
