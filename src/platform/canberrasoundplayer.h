#pragma once

#include "platform/soundplayer.h"

struct ca_context;

/// Plays sound files through libcanberra, the freedesktop event-sound
/// library, on whatever sound server the desktop runs (PulseAudio, PipeWire,
/// plain ALSA). The connection is made on the first request and kept; a
/// connection the server dropped is made again once per request.
///
/// A new request stops the sound still playing through libcanberra's
/// PulseAudio backend (Debian package libcanberra-pulse); its ALSA backend
/// cannot stop a sound, so there a new sound plays over the old one.
class CanberraSoundPlayer final : public ISoundPlayer {
public:
    CanberraSoundPlayer();
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer &) = delete;
    CanberraSoundPlayer &operator=(const CanberraSoundPlayer &) = delete;

    SoundStart play(const QString &path) override;

    /// libcanberra's code of the last request (0 on success), for diagnostics.
    int lastError() const { return m_lastError; }
    /// The libcanberra backend in use: "pulse", "default", or "" before the
    /// first request.
    QString driver() const { return m_driver; }

private:
    bool openContext(const char *driver);
    bool ensureContext();
    void dropContext();
    int startPlayback(const QByteArray &file);
    SoundStart failure() const;

    ca_context *m_context = nullptr;
    int m_lastError = 0;
    QString m_driver;
};
