#pragma once

class IClock;
class IMessageBoxes;
class IWindowSystem;
class ISoundPlayer;
class IPowerBackend;
class ITrayIcon;
class ICdDrive;
class IProgram;
class IRegistry;
class IProcessLauncher;

/// The operating-system services the windows use. main.cpp fills it with the
/// real implementations, tests with fakes. Pointers are never null.
struct Services {
    IClock *clock = nullptr;
    IMessageBoxes *messages = nullptr;
    IWindowSystem *windows = nullptr;
    ISoundPlayer *sound = nullptr;
    IPowerBackend *power = nullptr;
    ITrayIcon *tray = nullptr;
    ICdDrive *cdDrive = nullptr;
    IProgram *program = nullptr;
    IRegistry *registry = nullptr;
    IProcessLauncher *launcher = nullptr;
};
