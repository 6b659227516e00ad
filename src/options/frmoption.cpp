#include "options/frmoption.h"

#include "options/datetimesettings.h"
#include "platform/registry.h"
#include "platform/windowsystem.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "ui/dialogchrometable.h"
#include "ui/fonts.h"
#include "ui/windowtable.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHash>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <vector>

const QString frmOption::RunKey =
    QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString frmOption::RunValueName = QStringLiteral("QarnexTime");

namespace {

enum class Kind { Frame, CheckBox, Button };

struct ControlRow {
    Kind kind;
    const char *name;
    const char *caption; ///< UTF-8; "&" marks the access key
    const char *parent;  ///< a frame's name, or null for the window
    QRect rect;          ///< relative to the parent
    int tabIndex;
};

// In creation order: a later control is drawn in front of an earlier one,
// which puts chkAutoRun over Frame2.
const ControlRow controls[] = {
    {Kind::Frame, "Frame1", "闹钟设置", nullptr, {72, 80, 145, 89}, 0},
    {Kind::CheckBox, "chkIntTime", "整点报时", "Frame1", {16, 24, 105, 17}, 6},
    {Kind::CheckBox, "chkYnAuotClose", "允许自动关机", "Frame1", {16, 48, 97, 17}, 7},
    {Kind::Frame, "Frame2", "显示设置", nullptr, {232, 80, 145, 89}, 1},
    {Kind::CheckBox, "chkTop", "最上层显示", "Frame2", {24, 24, 81, 25}, 2},
    {Kind::CheckBox, "chkAutoRun", "开机自动运行", nullptr, {256, 136, 97, 12}, 5},
    {Kind::Button, "cmdTime", "设置时间(&T)", nullptr, {176, 192, 89, 25}, 10},
    {Kind::Button, "cmdOk", "确定(&O)", nullptr, {224, 272, 89, 25}, 3},
    {Kind::Button, "cmdCancel", "取消(&C)", nullptr, {344, 272, 89, 25}, 4},
};

struct LineRow {
    QPoint from;
    QPoint to;
    int width;
    bool white; ///< else the default line colour
};

// Line1, then Line2 over it: one etched separator above OK and Cancel.
const LineRow lines[] = {
    {{16, 264}, {464, 264}, 2, false},
    {{16, 264}, {464, 264}, 1, true},
};

QString captionOf(const ControlRow &row)
{
    return QString::fromUtf8(row.caption);
}

} // namespace

frmOption::frmOption(WindowTable &table) : SkinnedDialog(table, dialogChrome(u"frmOption"))
{
    buildControls();

    connect(chkTop, &QCheckBox::toggled, this, [this] { placeMainWindow(); });
    // Also runs when load() restores the box: a stored tick writes the entry again.
    connect(chkAutoRun, &QCheckBox::toggled, this, [this] { autoRunChanged(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { unload(); });
    connect(cmdTime, &QPushButton::clicked, this,
            [this] { OpenDateTimeSettings(*services().launcher, *services().messages); });
}

void frmOption::buildControls()
{
    QHash<QString, QWidget *> byName;
    std::vector<std::pair<int, QWidget *>> tabOrder;
    for (const ControlRow &row : controls) {
        QWidget *parent = row.parent ? byName.value(QString::fromLatin1(row.parent)) : this;
        QWidget *w = nullptr;
        switch (row.kind) {
        case Kind::Frame:
            w = new QGroupBox(captionOf(row), parent);
            break;
        case Kind::CheckBox:
            w = new QCheckBox(captionOf(row), parent);
            break;
        case Kind::Button: {
            auto *button = new QPushButton(captionOf(row), parent);
            // Neither button is the default or the cancel button.
            button->setAutoDefault(false);
            button->setDefault(false);
            w = button;
            break;
        }
        }
        w->setObjectName(QString::fromLatin1(row.name));
        w->setFont(Fonts::song(9));
        w->setGeometry(row.rect);
        w->raise();
        byName.insert(w->objectName(), w);
        if (w->focusPolicy() & Qt::TabFocus)
            tabOrder.emplace_back(row.tabIndex, w);
    }

    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);

    Frame1 = findChild<QGroupBox *>(QStringLiteral("Frame1"));
    Frame2 = findChild<QGroupBox *>(QStringLiteral("Frame2"));
    chkIntTime = findChild<QCheckBox *>(QStringLiteral("chkIntTime"));
    chkYnAuotClose = findChild<QCheckBox *>(QStringLiteral("chkYnAuotClose"));
    chkTop = findChild<QCheckBox *>(QStringLiteral("chkTop"));
    chkAutoRun = findChild<QCheckBox *>(QStringLiteral("chkAutoRun"));
    cmdTime = findChild<QPushButton *>(QStringLiteral("cmdTime"));
    cmdOk = findChild<QPushButton *>(QStringLiteral("cmdOk"));
    cmdCancel = findChild<QPushButton *>(QStringLiteral("cmdCancel"));
}

void frmOption::load()
{
    // Only a stored 1 ticks a box; anything else shows it clear.
    chkYnAuotClose->setChecked(store().flag(Keys::ChkOpenClose) == 1);
    chkIntTime->setChecked(store().flag(Keys::ChkIntTime) == 1);
    chkAutoRun->setChecked(store().flag(Keys::ChkAutoRun) == 1);
    {
        // chkTop shows where the clock is, so OK with nothing touched leaves
        // it there. A clock that is not loaded comes back on top when it
        // loads. Restoring the box is not a click: it places nothing.
        const ManagedWindow *clock = table().loadedMainWindow();
        const QSignalBlocker quiet(chkTop);
        chkTop->setChecked(!clock || clock->isTopmost());
    }
    chkTop->setFocus();
}

void frmOption::placeMainWindow()
{
    // Referring to the clock loads it if it was closed.
    if (ManagedWindow *clock = table().mainWindow())
        services().windows->setTopmost(clock, chkTop->isChecked());
}

void frmOption::autoRunChanged()
{
    const QString data =
        chkAutoRun->isChecked() ? QCoreApplication::applicationFilePath() : QString();
    services().registry->writeStringValue(RunKey, RunValueName, data);
}

void frmOption::saveSettings()
{
    store().setFlag(Keys::ChkOpenClose, chkYnAuotClose->isChecked() ? 1 : 0);
    store().setFlag(Keys::ChkIntTime, chkIntTime->isChecked() ? 1 : 0);
    store().setFlag(Keys::ChkAutoRun, chkAutoRun->isChecked() ? 1 : 0);
}

void frmOption::okClicked()
{
    placeMainWindow();
    saveSettings();
    // The screen-saver-running flag OK sets and clears has no counterpart here.
    unload();
}

void frmOption::closeClicked()
{
    placeMainWindow();
    saveSettings();
    unload();
}

void frmOption::paintEvent(QPaintEvent *event)
{
    SkinnedDialog::paintEvent(event);
    QPainter p(this);
    for (const LineRow &line : lines) {
        const QColor colour =
            line.white ? QColor(Qt::white) : palette().color(QPalette::WindowText);
        // As the system draws a thick line: centred, the extra pixel above.
        const int top = line.from.y() - line.width / 2;
        p.fillRect(QRect(QPoint(line.from.x(), top), QPoint(line.to.x() - 1, top + line.width - 1)),
                   colour);
    }
}
