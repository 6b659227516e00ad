#include "tray/exitsequence.h"

#include "clock/clockstrip.h"
#include "platform/program.h"
#include "shutdown/shutdowndialog.h"
#include "tray/traycontroller.h"
#include "ui/aboutdialog.h"
#include "ui/windowtable.h"

void exitProgram(WindowTable &table, ExitKind kind)
{
    // Linux keeps no screen-saver-running flag for programs to clear.
    table.unload(table.loaded<TrayController>());
    table.unload(table.loaded<ClockStrip>());
    if (kind == ExitKind::Long) {
        table.unload(table.loaded<AboutDialog>());
        table.unload(table.loaded<ShutdownDialog>());
    }
    table.services().program->quit();
}
