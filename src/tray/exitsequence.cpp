#include "tray/exitsequence.h"

#include "clock/frmclockmain.h"
#include "platform/program.h"
#include "shutdown/frmclosewindows.h"
#include "tray/frmmenu.h"
#include "ui/frmabout.h"
#include "ui/windowtable.h"

void exitProgram(WindowTable &table, ExitKind kind)
{
    // Linux keeps no screen-saver-running flag for programs to clear.
    table.unload(table.loaded<frmMenu>());
    table.unload(table.loaded<frmclockMain>());
    if (kind == ExitKind::Long) {
        table.unload(table.loaded<frmAbout>());
        table.unload(table.loaded<frmCloseWindows>());
    }
    table.services().program->quit();
}
