#include "autostart/autostartentry.h"
#include "autostart/registrypath.h"
#include "fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace RegistryPath;

namespace {
const QString Run = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
}

class tst_RegistryPath : public QObject {
    Q_OBJECT
private slots:
    void rootKeyFromName_data();
    void rootKeyFromName();
    void splitKeyPath_data();
    void splitKeyPath();
    void writeStringValue_data();
    void writeStringValue();
};

void tst_RegistryPath::rootKeyFromName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("key");
    QTest::newRow("classes root") << "HKEY_CLASSES_ROOT" << quint32(0x80000000u);
    QTest::newRow("current user") << "HKEY_CURRENT_USER" << quint32(0x80000001u);
    QTest::newRow("local machine") << "HKEY_LOCAL_MACHINE" << quint32(0x80000002u);
    QTest::newRow("users") << "HKEY_USERS" << quint32(0x80000003u);
    QTest::newRow("performance data") << "HKEY_PERFORMANCE_DATA" << quint32(0x80000004u);
    QTest::newRow("current config") << "HKEY_CURRENT_CONFIG" << quint32(0x80000005u);
    QTest::newRow("dyn data") << "HKEY_DYN_DATA" << quint32(0x80000006u);
    QTest::newRow("wrong case") << "HKEY_Local_Machine" << quint32(0);
    QTest::newRow("lower case") << "hkey_users" << quint32(0);
    QTest::newRow("trailing space") << "HKEY_USERS " << quint32(0);
    QTest::newRow("abbreviation") << "HKLM" << quint32(0);
    QTest::newRow("prefix only") << "HKEY_" << quint32(0);
    QTest::newRow("empty") << "" << quint32(0);
}

void tst_RegistryPath::rootKeyFromName()
{
    QFETCH(QString, name);
    QFETCH(quint32, key);
    QCOMPARE(RootKeyFromName(name), key);
}

void tst_RegistryPath::splitKeyPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<quint32>("root");
    QTest::addColumn<QString>("rest");  ///< the path text afterwards
    QTest::addColumn<bool>("rejected"); ///< the format message is shown

    QTest::newRow("run key") << "HKEY_LOCAL_MACHINE\\" + Run << quint32(LocalMachine) << Run
                             << false;
    QTest::newRow("root alone") << "HKEY_CURRENT_USER" << quint32(CurrentUser) << "" << false;
    QTest::newRow("one level") << "HKEY_USERS\\x" << quint32(Users) << "x" << false;
    QTest::newRow("double backslash") << "HKEY_USERS\\\\x" << quint32(Users) << "\\x" << false;
    QTest::newRow("chinese sub-key")
        << "HKEY_DYN_DATA\\软件\\时钟" << quint32(DynData) << "软件\\时钟" << false;
    // Passes the format test but names no root: the path is still split.
    QTest::newRow("wrong-case root")
        << "HKEY_Current_User\\Software" << quint32(0) << "Software" << false;
    QTest::newRow("prefix only") << "HKEY_" << quint32(0) << "" << false;

    QTest::newRow("lower-case prefix")
        << "hkey_current_user\\Software" << quint32(0) << "hkey_current_user\\Software" << true;
    QTest::newRow("root and backslash")
        << "HKEY_CURRENT_USER\\" << quint32(0) << "HKEY_CURRENT_USER\\" << true;
    QTest::newRow("trailing backslash") << "HKEY_LOCAL_MACHINE\\" + Run + "\\" << quint32(0)
                                        << "HKEY_LOCAL_MACHINE\\" + Run + "\\" << true;
    QTest::newRow("leading space") << " HKEY_USERS" << quint32(0) << " HKEY_USERS" << true;
    QTest::newRow("shorter than prefix") << "HKEY" << quint32(0) << "HKEY" << true;
    QTest::newRow("backslash alone") << "\\" << quint32(0) << "\\" << true;
    QTest::newRow("empty") << "" << quint32(0) << "" << true;
}

void tst_RegistryPath::splitKeyPath()
{
    QFETCH(QString, path);
    QFETCH(quint32, root);
    QFETCH(QString, rest);
    QFETCH(bool, rejected);

    FakeMessageBoxes messages;
    QString text = path;
    QCOMPARE(SplitKeyPath(text, messages), root);
    QCOMPARE(text, rest);
    if (rejected) {
        // Two bare line feeds, then the path exactly as passed.
        QCOMPARE(messages.texts, QStringList{QStringLiteral("Incorrect Format:\n\n") + path});
        QCOMPARE(messages.captions, QStringList{QStringLiteral("Zirvel")});
    } else {
        QVERIFY(messages.texts.isEmpty());
    }
}

void tst_RegistryPath::writeStringValue_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder"); ///< "user", "system" or "" for nothing written
    QTest::addColumn<bool>("message");

    QTest::newRow("per-user run key") << "HKEY_CURRENT_USER\\" + Run << "user" << false;
    QTest::newRow("system run key") << "HKEY_LOCAL_MACHINE\\" + Run << "system" << false;
    QTest::newRow("sub-key in other case")
        << "HKEY_CURRENT_USER\\" + Run.toLower() << "user" << false;
    QTest::newRow("other key") << "HKEY_CURRENT_USER\\SOFTWARE\\Zirvel"
                               << "" << false;
    QTest::newRow("run key below a sub-key") << "HKEY_CURRENT_USER\\x\\" + Run << "" << false;
    QTest::newRow("other root") << "HKEY_USERS\\" + Run << "" << false;
    QTest::newRow("root alone") << "HKEY_CURRENT_USER"
                                << "" << false;
    QTest::newRow("wrong-case root") << "HKEY_Current_User\\" + Run << "" << false;
    QTest::newRow("malformed") << "hkey_current_user\\" + Run << "" << true;
    QTest::newRow("trailing backslash") << "HKEY_CURRENT_USER\\" + Run + '\\' << "" << true;
}

void tst_RegistryPath::writeStringValue()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(bool, message);

    QTemporaryDir dir;
    AutostartFolders folders{dir.filePath(QStringLiteral("user")),
                             dir.filePath(QStringLiteral("system"))};
    FakeMessageBoxes messages;
    WriteStringValue(path, QStringLiteral("QarnexTime"), QStringLiteral("/opt/zirvel/zirvel"),
                     folders, messages);

    const bool inUser = QFile::exists(folders.user + QStringLiteral("/QarnexTime.desktop"));
    const bool inSystem = QFile::exists(folders.system + QStringLiteral("/QarnexTime.desktop"));
    QCOMPARE(inUser, folder == QLatin1String("user"));
    QCOMPARE(inSystem, folder == QLatin1String("system"));
    // Nothing written leaves no trace at all, not even an empty folder.
    if (folder.isEmpty())
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), {});
    QCOMPARE(messages.texts.size(), message ? 1 : 0);
}

QTEST_GUILESS_MAIN(tst_RegistryPath)
#include "tst_registrypath.moc"
