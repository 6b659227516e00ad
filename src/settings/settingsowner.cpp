#include "settings/settingsowner.h"

#include "settings/settingskeys.h"

SettingsOwner::SettingsOwner(SettingsStore &store, std::initializer_list<const char *> keys,
                             QObject *parent)
    : QObject(parent), m_store(store)
{
    connect(&m_store, &SettingsStore::changed, this,
            [this, keys = QList<const char *>(keys)](const QStringList &names) {
                if (Keys::touched(names, keys))
                    emit changed();
            });
}
