#pragma once

#include "fakeclock.h"
#include "fakes.h"
#include "platform/services.h"
#include "settings/settingsstore.h"
#include "ui/windowtable.h"

#include <QTemporaryDir>

#include <memory>

/// A window table on fakes and a settings file in a temporary folder: what a
/// widget test needs to load windows without touching the machine.
struct TestEnvironment {
    TestEnvironment();
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

    QString settingsPath() const { return dir.filePath(QStringLiteral("Zirvel.conf")); }
    /// A new store instance on the same file, as the next run would see it.
    std::unique_ptr<SettingsStore> reopenStore() const;
};
