#pragma once

#include <QFileSystemWatcher>
#include <QObject>

/// The local time zone, read once and read again when it changes, instead
/// of looked up on every local-time conversion.
///
/// With no TZ in the environment the C library checks the zone file (a
/// stat of /etc/localtime) on every conversion, and Qt converts several
/// times a second. With TZ set to ":<zone file>" it reads the file once.
/// The file and its folder are watched (the file is usually a symbolic
/// link that is replaced, not written): on a change the zone is read again,
/// so a new zone, or new rules for it, show from the next conversion on.
/// Changes between summer and winter time need nothing: they are in the
/// zone's data. A TZ set by the user is left alone; programs we start get
/// the environment without the TZ set here (see childEnvironmentTz()).
class LocalZone : public QObject {
    Q_OBJECT
public:
    explicit LocalZone(const QString &zoneFile = QStringLiteral("/etc/localtime"),
                       QObject *parent = nullptr);
    ~LocalZone() override;

    /// Reads the zone file again now.
    void reread();
    /// True while TZ in the environment was set by a LocalZone, not by the
    /// user: programs started from here should not inherit it.
    static bool ownsTz();

signals:
    /// The zone file or its folder changed; the zone has been read again.
    void changed();

private:
    void watch();

    QString m_zoneFile;
    QFileSystemWatcher m_watcher;
    bool m_kept = false;
};
