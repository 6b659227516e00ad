#include "platform/cddrive.h"

// <linux/cdrom.h> needs the limits it uses defined first.
#include <limits.h>

#include <linux/cdrom.h>

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

LinuxCdDrive::LinuxCdDrive(QStringList devices) : m_devices(std::move(devices)) {}

CdDoorResult LinuxCdDrive::openDoor()
{
    return run(CDROMEJECT);
}

CdDoorResult LinuxCdDrive::closeDoor()
{
    return run(CDROMCLOSETRAY);
}

CdDoorResult LinuxCdDrive::run(unsigned long request)
{
    // https://docs.kernel.org/userspace-api/ioctl/cdrom.html: the door ioctls
    // need no disc, so the device is opened non-blocking.
    CdDoorResult result;
    for (const QString &device : std::as_const(m_devices)) {
        result.device = device;
        const int fd =
            ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            result.error = errno;
            if (result.error == ENOENT)
                continue; // no such drive: try the next name
            return result;
        }
        result.error = ::ioctl(fd, request, 0) == 0 ? 0 : errno;
        ::close(fd);
        return result;
    }
    return result;
}
