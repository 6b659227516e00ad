#pragma once

class WindowTable;

enum class ExitKind {
    /// From the clock's menu: also closes the About and shutdown-settings
    /// windows the proper way (the latter discards its edits).
    Long,
    /// From the tray menu, and on SIGTERM/SIGINT.
    Short,
};

/// Ends the program: takes the icon out of the notification area, closes the
/// clock (which stores its position) and stops the event loops. Windows still
/// open afterwards are destroyed without their close steps.
void exitProgram(WindowTable &table, ExitKind kind);
