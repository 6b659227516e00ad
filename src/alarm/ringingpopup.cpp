#include "alarm/ringingpopup.h"

#include "platform/clock.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "platform/soundplayer.h"
#include "platform/windowsystem.h"
#include "time/timetext.h"
#include "ui/dialogchrometable.h"
#include "ui/windowtable.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

void RingingPopup::styleAsTextBox(QLabel *label)
{
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, QColor(0, 192, 192));
    pal.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(pal);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setMargin(2);
}

RingingPopup::RingingPopup(WindowTable &table, const RingingPopupLayout &layout)
    : SkinnedDialog(table, dialogChrome(layout.windowName)), m_soundFile(layout.soundFile)
{
    lblNowTime = new QLabel(QStringLiteral("现在时间："), this);
    lblNowTime->setObjectName(QStringLiteral("lblNowTime"));
    lblNowTime->move(layout.nowTimeLabel);
    lblNowTime->adjustSize();

    lblTime = new QLabel(this);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    lblTime->setGeometry(layout.timeBox);
    styleAsTextBox(lblTime);
    lblTime->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    cmdOk = new QPushButton(layout.okCaption, this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(layout.okRect);
    // Enter on the focused button presses it, as in any dialog.
    cmdOk->setAutoDefault(true);
    setFocusProxy(cmdOk);
    connect(cmdOk, &QPushButton::clicked, this, &RingingPopup::okClicked);
}

QString RingingPopup::missingSoundMessage(const QString &soundFile)
{
    return QStringLiteral("找不到<%1>文件,请您检查程序目录下").arg(soundFile) + QLatin1Char('\r') +
           QStringLiteral("是否有<%1>文件,如没有可以另外改名一 .WAV 文件").arg(soundFile) +
           QLatin1Char('\r') + QStringLiteral(" 拷到程序目录下即可");
}

QString RingingPopup::unplayableSoundMessage(const QString &soundFile, const QString &reason)
{
    const QString message = QStringLiteral("无法播放声音<%1>").arg(soundFile);
    return reason.isEmpty() ? message : message + QStringLiteral("：") + reason;
}

QString RingingPopup::soundPath(const QString &folder, const QString &soundFile)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + soundFile;
    return folder + QLatin1Char('/') + soundFile;
}

void RingingPopup::load()
{
    SoundStart sound = SoundStart::fileUnreadable();
    try {
        loadMessage();
        lblTime->setText(TimeText::format(services().clock->now().time()));
        const QString path = soundPath(QCoreApplication::applicationDirPath(), m_soundFile);
        services().windows->setTopmost(this, true);
        sound = services().sound->play(path);
    } catch (...) {
        // Whatever went wrong, the user hears nothing: say so, and open.
        sound = SoundStart::fileUnreadable();
    }
    cmdOk->setFocus();
    // Modal, and shown while loading: the window appears after it. The
    // scheduler shows pop-ups after its tick has returned, so the clock runs
    // on while the message waits.
    if (const QString message = soundMessage(sound); !message.isEmpty())
        services().messages->show(message);
}

QString RingingPopup::soundMessage(const SoundStart &sound)
{
    switch (sound.outcome) {
    case SoundStart::Outcome::Started:
        return {};
    case SoundStart::Outcome::FileUnreadable:
        return missingSoundMessage(m_soundFile);
    case SoundStart::Outcome::Failed:
        // The same cause (most often no sound server) would otherwise speak
        // up at every full hour.
        if (table().firstNotice(QStringLiteral("sound failed")))
            return unplayableSoundMessage(m_soundFile, sound.reason);
        return {};
    }
    return {};
}

void RingingPopup::okClicked()
{
    services().windows->setTopmost(this, false);
    unload();
}
