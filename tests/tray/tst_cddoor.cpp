#include "platform/cddrive.h"
#include "tray/cddoortext.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <unistd.h>

class TestCdDoor : public QObject {
    Q_OBJECT
private slots:
    void reasons_data();
    void reasons();
    void message();
    void linuxDrive_data();
    void linuxDrive();
};

void TestCdDoor::reasons_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no drive") << int(ENOENT) << QStringLiteral("找不到光驱设备");
    QTest::newRow("no permission") << int(EACCES) << QStringLiteral("没有访问该设备的权限");
    QTest::newRow("locked") << int(EBUSY) << QStringLiteral("设备正忙或已被锁定");
    QTest::newRow("not a CD drive") << int(ENOTTY) << QStringLiteral("该设备不支持此操作");
    QTest::newRow("hardware") << int(EIO) << QStringLiteral("输入/输出错误");
    QTest::newRow("anything else")
        << int(EDOM) << QStringLiteral("系统错误（错误码 %1）").arg(EDOM);
}

void TestCdDoor::reasons()
{
    QFETCH(int, error);
    QFETCH(QString, reason);
    QCOMPARE(systemErrorText(error), reason);
}

void TestCdDoor::message()
{
    QCOMPARE(cdDoorFailureText(CdDoorCommand::Open, QStringLiteral("/dev/sr0"), ENOENT),
             QStringLiteral("无法弹出光驱：/dev/sr0\r原因：找不到光驱设备"));
    QCOMPARE(cdDoorFailureText(CdDoorCommand::Close, QStringLiteral("/dev/cdrom"), EBUSY),
             QStringLiteral("无法关闭光驱：/dev/cdrom\r原因：设备正忙或已被锁定"));
}

void TestCdDoor::linuxDrive_data()
{
    // The device names the drive tries, in a private folder: "missing" does
    // not exist, "file" is a regular file (no CD-ROM driver behind it).
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QString>("failedDevice");
    QTest::addColumn<int>("error");
    QTest::newRow("no drive at all")
        << QStringList{"missing", "missing2"} << "missing2" << int(ENOENT);
    QTest::newRow("first name missing, second no drive")
        << QStringList{"missing", "file"} << "file" << int(ENOTTY);
    QTest::newRow("first name exists: second not tried")
        << QStringList{"file", "missing"} << "file" << int(ENOTTY);
}

void TestCdDoor::linuxDrive()
{
    QFETCH(QStringList, devices);
    QFETCH(QString, failedDevice);
    QFETCH(int, error);

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    for (QString &device : devices)
        device = dir.filePath(device);

    LinuxCdDrive drive(devices);
    for (const CdDoorResult &result : {drive.openDoor(), drive.closeDoor()}) {
        QVERIFY(!result.ok());
        QCOMPARE(result.device, dir.filePath(failedDevice));
        QCOMPARE(result.error, error);
    }
}

QTEST_APPLESS_MAIN(TestCdDoor)
#include "tst_cddoor.moc"
