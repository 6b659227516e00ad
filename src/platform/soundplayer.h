#pragma once

#include <QString>

/// One sound at a time, played asynchronously.
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    /// Starts playing the file and returns at once. A new request cancels the
    /// sound still playing. False when the sound could not be started: the
    /// file is missing, unreadable or not playable, or there is no sound server.
    virtual bool play(const QString &path) = 0;
};
