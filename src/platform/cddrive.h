#pragma once

#include <QString>
#include <QStringList>

/// What became of a door command: the device it went to and, on failure,
/// the system's error number.
struct CdDoorResult {
    QString device;
    int error = 0; ///< errno; 0 when the command went through
    bool ok() const { return error == 0; }
};

/// The door of the default CD drive.
class ICdDrive {
public:
    virtual ~ICdDrive() = default;
    virtual CdDoorResult openDoor() = 0;
    virtual CdDoorResult closeDoor() = 0;
};

/// The Linux CD-ROM driver's door ioctls on the first device that exists.
class LinuxCdDrive final : public ICdDrive {
public:
    /// The devices tried in turn; the default drive is /dev/cdrom (a udev
    /// link), else the first SCSI CD drive.
    explicit LinuxCdDrive(QStringList devices = {QStringLiteral("/dev/cdrom"),
                                                 QStringLiteral("/dev/sr0")});
    CdDoorResult openDoor() override;
    CdDoorResult closeDoor() override;

private:
    CdDoorResult run(unsigned long request);
    QStringList m_devices;
};
