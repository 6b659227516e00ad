#pragma once

#include "settings/settingsstore.h"

#include <QList>
#include <QObject>

#include <initializer_list>

/// The common part of the owners of the features' settings: the store, and
/// changed() whenever one of the owner's keys was saved, by whichever
/// owner or program path saved it.
class SettingsOwner : public QObject {
    Q_OBJECT
signals:
    void changed();

protected:
    SettingsOwner(SettingsStore &store, std::initializer_list<const char *> keys,
                  QObject *parent = nullptr);

    SettingsStore &m_store;
};
