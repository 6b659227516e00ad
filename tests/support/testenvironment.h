#pragma once

#include "clock/scheduler.h"
#include "fakeclock.h"
#include "fakes.h"
#include "platform/services.h"
#include "settings/settingsstore.h"
#include "ui/windowtable.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

/// A window table on fakes and a settings file in a temporary folder: what a
/// widget test needs to load windows without touching the machine.
struct TestEnvironment {
    /// `prepareSettings`, when given, runs on the settings path before the
    /// store opens it: to put a file, or something else, there, or to choose
    /// another path.
    explicit TestEnvironment(const std::function<void(QString &)> &prepareSettings = {});
    ~TestEnvironment();

    QTemporaryDir dir;
    FakeClock clock;
    FakeMessageBoxes messages;
    FakeWindowSystem windows;
    FakeSoundPlayer sound;
    FakePowerBackend power;
    FakeTrayIcon tray;
    FakeCdDrive cdDrive;
    FakeProgram program;
    FakeRegistry registry;
    FakeProcessLauncher launcher;
    Services services;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<WindowTable> table;
    /// Follows the strip the table loads, as in the program.
    std::unique_ptr<Scheduler> scheduler;

    QString settingsFile = dir.filePath(QStringLiteral("Zirvel.conf"));
    QString settingsPath() const { return settingsFile; }
    /// A new store instance on the same file, as the next run would see it.
    std::unique_ptr<SettingsStore> reopenStore() const;
};
