#pragma once

#include "platform/soundplayer.h"
#include "ui/skinneddialog.h"

class QLabel;
class QPushButton;

/// The common part of the alarm and hourly-chime pop-ups. Loading writes
/// the time into lblTime, puts the window above other windows and starts
/// its sound from the program's folder; when the file is missing or cannot
/// be read it says which file to put there, before the window appears. Any
/// failure while loading ends in that same message, and the window opens
/// anyway. When the sound fails for another reason (no sound server, a file
/// it cannot play) one line says so and why, once per run of the program.
/// cmdOk takes the window out of the always-on-top band and closes it;
/// lblMin closes it. A sound still playing goes on after the close.
/// Each pop-up's design has lblNowTime, lblTime (a ShowBox) and cmdOk.
class RingingPopup : public SkinnedDialog {
    Q_OBJECT
public:
    void load() override;

    /// The three-line message for a sound file that could not be played,
    /// lines separated by "\r".
    static QString missingSoundMessage(const QString &soundFile);
    /// The one-line message for a sound that could not be played for a
    /// reason other than its file.
    static QString unplayableSoundMessage(const QString &soundFile, const QString &reason);
    /// folder + "/" + file, without doubling a "/" the folder ends with.
    static QString soundPath(const QString &folder, const QString &soundFile);

protected:
    /// `soundFile`: the file name in the program's folder.
    RingingPopup(WindowTable &table, const QList<ControlRow> &design, const QString &soundFile);

    /// The first load step of a pop-up that shows a message of its own.
    virtual void loadMessage() {}

private:
    void okClicked();
    /// What to tell the user about the sound request; "" for nothing.
    QString soundMessage(const SoundStart &sound);

    QString m_soundFile;
    QLabel *lblTime = nullptr;
    QPushButton *cmdOk = nullptr;
};
