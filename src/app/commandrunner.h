#pragma once

#include "app/commandline.h"

class WindowTable;

/// Carries out a command line sent to the running clock: the settings are
/// written here, by the clock itself, and what the command asks of the
/// windows happens at once. Nothing it does opens a dialog or a message box:
/// a message a window would have shown goes back to the terminal instead.
class CommandRunner {
public:
    explicit CommandRunner(WindowTable &table) : m_table(table) {}

    CommandLine::Reply run(const QStringList &arguments);

private:
    CommandLine::Reply carryOut(const CommandLine::Command &command);

    WindowTable &m_table;
};
