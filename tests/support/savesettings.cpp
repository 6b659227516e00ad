#include "savesettings.h"

#include "settings/settingsstore.h"

void saveSettings(SettingsStore &store, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        store.save(entry.left(eq), entry.mid(eq + 1));
    }
}
