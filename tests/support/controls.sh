# Where the program's windows and controls are, for tests and screenshot
# scripts that drive it with real input (sourced by desktop-harness.sh).
# Control positions are "X Y" from their window's top-left corner, for
# click_in and drag_in.

# The clock strip, where it opens on a first start.
STRIP_SIZE=86x19
STRIP_HOME="638 24"
STRIP_LEFT_CAP="4 9"
STRIP_TIME_LABEL="32 9"
STRIP_RIGHT_CAP="80 9"

# The alarm and chime pop-ups.
POPUP_SIZE=339x221
POPUP_TITLE="100 20"
POPUP_OK="164 196"
CHIME_CLOSE_MARK="300 12"

# The About window.
ABOUT_CLOSE_MARK="324 12"

# The alarm dialog (定时设置...).
ALARM_DIALOG_SIZE=485x316
ALARM_HOUR="148 116"
ALARM_MINUTE="268 116"
ALARM_MESSAGE="252 180"
ALARM_SWITCH="110 251" # 开启闹钟
ALARM_OK="248 284"

# The shutdown dialog (关机设置...).
SHUTDOWN_HOUR="84 108"
SHUTDOWN_MINUTE="196 108"
SHUTDOWN_COUNTDOWN="42 204" # 倒计时开始
SHUTDOWN_SLIDER="30 240"
SHUTDOWN_NO_PROMPT="63 296" # 不提示直接关机
SHUTDOWN_SWITCH="247 296"   # 开启定时关机
SHUTDOWN_OK="416 76"

# The warning before a scheduled shutdown.
WARNING_CANCEL="226 172" # 取消

# The options dialog (选项设置...).
OPTIONS_SIZE=484x316
OPTIONS_ON_TOP="296 116" # 最上层显示
OPTIONS_OK="268 284"
