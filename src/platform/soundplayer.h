#pragma once

#include <QString>

/// How a request to play a sound went.
struct SoundStart {
    enum class Outcome {
        Started,
        FileUnreadable, ///< the file is missing or cannot be read
        Failed,         ///< anything else: no sound server, a file it cannot play, ...
    };
    Outcome outcome = Outcome::Started;
    QString reason; ///< for Failed: why, in the sound library's words

    bool started() const { return outcome == Outcome::Started; }
    static SoundStart fileUnreadable() { return {Outcome::FileUnreadable, {}}; }
    static SoundStart failed(const QString &reason) { return {Outcome::Failed, reason}; }
};

/// One sound at a time, played asynchronously.
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    /// Starts playing the file and returns at once. A new request cancels the
    /// sound still playing. Says whether the sound could be started, and if
    /// not, whether the file was to blame.
    virtual SoundStart play(const QString &path) = 0;
};
