#pragma once

#include "platform/soundplayer.h"

#include <memory>

struct ca_context;

/// Plays sound files through libcanberra, the freedesktop event-sound
/// library, on whatever sound server the desktop runs (PulseAudio, PipeWire,
/// plain ALSA). The connection is made on the first request and kept; a
/// connection the server dropped is made again once per request.
///
/// A new request stops the sound still playing through libcanberra's
/// PulseAudio backend (Debian package libcanberra-pulse); its ALSA backend
/// cannot stop a sound, so there a new sound plays over the old one.
///
/// libcanberra and the codecs it brings are loaded on the first request, not
/// at start: a clock that never sounds does not carry them.
class CanberraSoundPlayer final : public ISoundPlayer {
public:
    /// \a library: the file name of libcanberra, as dlopen() takes it.
    explicit CanberraSoundPlayer(const QString &library = QStringLiteral("libcanberra.so.0"));
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer &) = delete;
    CanberraSoundPlayer &operator=(const CanberraSoundPlayer &) = delete;

    SoundStart play(const QString &path) override;

    /// The libcanberra backend in use: "pulse", "default", or "" before the
    /// first request.
    QString driver() const { return m_driver; }

private:
    struct Library;

    bool loadLibrary();
    bool openContext(const char *driver);
    bool ensureContext();
    void dropContext();
    int startPlayback(const QByteArray &file);
    SoundStart failure() const;
    QString errorText() const;

    QString m_libraryName;
    std::unique_ptr<Library> m_library; // null until the first request
    QString m_loadError;
    ca_context *m_context = nullptr;
    int m_lastError = 0;
    QString m_driver;
};
