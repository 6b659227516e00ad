#pragma once

#include "ui/skinneddialog.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

/// The options dialog: hourly chime, scheduled shutdown, the clock on top,
/// start at log-on, and a button for the desktop's date-and-time settings.
/// "最上层显示" and "开机自动运行" act at once; the three stored boxes are saved
/// by OK and the close label, never by Cancel.
class OptionsDialog : public SkinnedDialog {
    Q_OBJECT
public:
    /// The window's object name, by which scripts and tests find it.
    static constexpr const char *WindowName = "frmOption";

    explicit OptionsDialog(WindowTable &table);

    /// The window, its chrome and its controls.
    static const QList<ControlRow> &design();

    void load() override;

    /// Where the per-user Run entry lives.
    static const QString RunKey;
    static const QString RunValueName;

protected:
    void closeClicked() override;

private:
    void placeMainWindow();
    void saveSettings();
    void autoRunChanged();
    void okClicked();

    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QCheckBox *chkIntTime = nullptr;
    QCheckBox *chkYnAuotClose = nullptr;
    QCheckBox *chkTop = nullptr;
    QCheckBox *chkAutoRun = nullptr;
    QPushButton *cmdTime = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
};
