#pragma once

#include "platform/cddrive.h"
#include "platform/messageboxes.h"
#include "platform/powerbackend.h"
#include "platform/processlauncher.h"
#include "platform/program.h"
#include "platform/registry.h"
#include "platform/soundplayer.h"
#include "platform/trayicon.h"
#include "platform/windowsystem.h"

#include <QEventLoop>
#include <QHash>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

/// Records the messages it is asked to show; shows nothing. onShow, when
/// set, runs while the (modal) message would be up. With `modal` set, show()
/// also runs an event loop until closeBox(), as a real modal box does (or
/// until `modalLimitMs` have passed, so a fault cannot hang the test).
class FakeMessageBoxes final : public IMessageBoxes {
public:
    void show(const QString &text, const QString &caption) override
    {
        texts << text;
        captions << caption;
        informationIcons << false;
        if (onShow)
            onShow();
        if (modal)
            runModalLoop();
    }
    void showInformation(const QString &text, const QString &caption) override
    {
        show(text, caption);
        informationIcons.last() = true;
    }
    /// Ends the innermost modal loop.
    void closeBox()
    {
        if (m_loop)
            m_loop->quit();
    }
    bool isOpen() const { return m_loop != nullptr; }

    QStringList texts;
    QStringList captions;
    QList<bool> informationIcons; ///< per message: shown with the information icon
    std::function<void()> onShow;
    bool modal = false;
    int modalLimitMs = 30000;

private:
    void runModalLoop()
    {
        QEventLoop loop;
        QEventLoop *outer = std::exchange(m_loop, &loop);
        QTimer::singleShot(modalLimitMs, &loop, &QEventLoop::quit);
        loop.exec();
        m_loop = outer;
    }
    QEventLoop *m_loop = nullptr;
};

/// Records window-manager requests; offers no system move, so drags fall
/// back to moving the window by hand.
class FakeWindowSystem final : public IWindowSystem {
public:
    struct TopmostCall {
        QPointer<QWidget> window;
        bool on;
    };
    void setTopmost(QWidget *window, bool on) override
    {
        topmostCalls.append({window, on});
        // In place, as the real one: the window stays shown.
        Qt::WindowFlags flags = window->windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, on);
        window->overrideWindowFlags(flags);
    }
    void setSkipTaskbar(QWidget *window) override { skipTaskbar.append(window); }
    bool startSystemMove(QWidget *, QPoint) override
    {
        ++systemMoves;
        return false;
    }
    QList<TopmostCall> topmostCalls;
    QList<QPointer<QWidget>> skipTaskbar;
    int systemMoves = 0;
};

/// Records what it is asked to play; answers with `answer`. onPlay, when
/// set, runs as the request is made.
class FakeSoundPlayer final : public ISoundPlayer {
public:
    SoundStart play(const QString &path) override
    {
        played << path;
        if (onPlay)
            onPlay();
        return answer;
    }
    QStringList played;
    SoundStart answer;
    std::function<void()> onPlay;
};

/// Records power requests ("PowerOff", "Reboot"); never touches the machine.
/// Each request ends, from the event loop as the real one does, with
/// `failure` when that is set, and as accepted otherwise. onCall, when set,
/// runs as a request is made.
class FakePowerBackend final : public IPowerBackend {
public:
    void request(PowerRequest what, Done done) override
    {
        calls << (what == PowerRequest::PowerOff ? QStringLiteral("PowerOff")
                                                 : QStringLiteral("Reboot"));
        if (onCall)
            onCall();
        QTimer::singleShot(
            0, &m_context,
            [done = std::move(done), outcome = PowerOutcome{QStringLiteral("fake"), failure}] {
                done(outcome);
            });
    }
    QStringList calls;
    std::optional<PowerFailure> failure;
    std::function<void()> onCall;

private:
    QObject m_context; ///< drops outcomes still due when the fake goes
};

/// A notification area the test controls: `available` decides whether the
/// icon can be added; setAvailable() makes the area come or go as a panel
/// does, and tells the listener; activate() delivers a notification as the
/// desktop would. Adds and removes go to `journal` when one is set. `menu` is
/// the menu published with the icon, as a StatusNotifierItem host would show it.
class FakeTrayIcon final : public ITrayIcon {
public:
    bool isAvailable() override { return available; }
    void watchAvailability(AvailabilityHandler onChange) override
    {
        availabilityHandler = std::move(onChange);
    }
    /// The notification area appears or goes away; an icon in it goes with it.
    void setAvailable(bool on)
    {
        if (on == available)
            return;
        available = on;
        if (!on) {
            shown = false;
            handler = nullptr;
        }
        if (availabilityHandler)
            availabilityHandler(on);
    }
    bool add(const QIcon &icon, QMenu *publishedMenu, Handler onActivated) override
    {
        ++adds;
        if (journal)
            journal->append(QStringLiteral("AddTrayIcon"));
        if (!available)
            return false;
        shownIcon = icon;
        menu = publishedMenu;
        handler = std::move(onActivated);
        shown = true;
        return true;
    }
    void remove() override
    {
        ++removes;
        if (journal)
            journal->append(QStringLiteral("RemoveTrayIcon"));
        handler = nullptr;
        shown = false;
    }
    /// False when no icon is shown to receive it.
    bool activate(TrayActivation activation)
    {
        if (!shown || !handler)
            return false;
        handler(activation);
        return true;
    }
    bool available = true;
    bool shown = false;
    int adds = 0;
    int removes = 0;
    QIcon shownIcon;
    QPointer<QMenu> menu;
    Handler handler;
    AvailabilityHandler availabilityHandler;
    QStringList *journal = nullptr;
};

/// A CD drive that answers every door command with `result`.
class FakeCdDrive final : public ICdDrive {
public:
    CdDoorResult openDoor() override
    {
        calls << QStringLiteral("open");
        return result;
    }
    CdDoorResult closeDoor() override
    {
        calls << QStringLiteral("close");
        return result;
    }
    CdDoorResult result{QStringLiteral("/dev/sr0"), 0};
    QStringList calls;
};

/// Counts requests to end the program; ends nothing.
class FakeProgram final : public IProgram {
public:
    void quit() override
    {
        ++quits;
        if (journal)
            journal->append(QStringLiteral("quit"));
    }
    int quits = 0;
    QStringList *journal = nullptr;
};

/// Records the string values it is asked to write; writes nothing.
class FakeRegistry final : public IRegistry {
public:
    struct Write {
        QString keyPath;
        QString valueName;
        QString data;
    };
    void writeStringValue(const QString &keyPath, const QString &valueName,
                          const QString &data) override
    {
        writes.append({keyPath, valueName, data});
        present[keyPath + QLatin1Char('\\') + valueName] = !data.isEmpty();
    }
    bool hasValue(const QString &keyPath, const QString &valueName) override
    {
        return present.value(keyPath + QLatin1Char('\\') + valueName);
    }
    QList<Write> writes;
    /// The values there, by path and name: set by a write, or by a test.
    QHash<QString, bool> present;
};

/// Programs "installed" by name; records what it is asked to start.
class FakeProcessLauncher final : public IProcessLauncher {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };
    QString findExecutable(const QString &name) const override { return installed.value(name); }
    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        started.append({program, arguments});
        return startResult;
    }
    QStringList currentDesktops() const override { return desktops; }

    QHash<QString, QString> installed; ///< name -> full path
    QStringList desktops;
    bool startResult = true;
    QList<Start> started;
};
