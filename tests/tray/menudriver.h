#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>

/// Acts on the next pop-up menu from inside its own event loop, the way a
/// user does while QMenu::exec() waits. Gives up after a few seconds so a
/// menu that never opens fails the test instead of hanging it.
inline void whenMenuOpens(std::function<void(QMenu *)> act)
{
    auto *timer = new QTimer;
    const QDeadlineTimer deadline(5000);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act, deadline] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (menu)
            act(menu);
    });
    timer->start();
}

/// Clicks a menu item as the user does: the pointer comes in at the menu's
/// corner and glides over the items to the chosen one, then presses and
/// releases there. A menu ignores a click until it has seen the pointer move
/// since it opened (how strictly depends on the Qt version), so a click
/// without the glide may do nothing. The moves go to the menu's own window,
/// as a real pointer's do while a menu is open, whatever other windows lie
/// under it.
inline void clickItem(QMenu *menu, const QString &name)
{
    for (QAction *action : menu->actions()) {
        if (action->objectName() == name) {
            const QPoint from(1, 1);
            const QPoint at = menu->actionGeometry(action).center();
            const int steps = 10;
            for (int i = 0; i <= steps; ++i)
                QTest::mouseMove(menu->windowHandle(), from + (at - from) * i / steps);
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, at);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no item %1 in %2").arg(name, menu->objectName())));
}

/// Closes the menu without choosing anything.
inline void dismiss(QMenu *menu)
{
    QTest::keyClick(menu, Qt::Key_Escape);
}
