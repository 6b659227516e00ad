#include "tray/cddoortext.h"

#include <cerrno>

QString systemErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("找不到光驱设备");
    case ENODEV:
    case ENXIO:
        return QStringLiteral("设备不存在或没有就绪");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有访问该设备的权限");
    case EBUSY:
        return QStringLiteral("设备正忙或已被锁定");
    case ENOMEDIUM:
        return QStringLiteral("驱动器中没有光盘");
    case ENOTTY:
    case EINVAL:
    case ENOSYS:
    case EOPNOTSUPP:
        return QStringLiteral("该设备不支持此操作");
    case EIO:
        return QStringLiteral("输入/输出错误");
    case EROFS:
        return QStringLiteral("只读文件系统");
    default:
        return QStringLiteral("系统错误（错误码 %1）").arg(error);
    }
}

QString cdDoorFailureText(CdDoorCommand command, const QString &device, int error)
{
    const QString what = command == CdDoorCommand::Open ? QStringLiteral("无法弹出光驱")
                                                        : QStringLiteral("无法关闭光驱");
    return QStringLiteral("%1：%2\r原因：%3").arg(what, device, systemErrorText(error));
}
