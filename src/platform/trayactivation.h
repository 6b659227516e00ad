#pragma once

/// The mouse notifications of the notification-area icon the program acts on.
/// A double-click arrives as LeftPress followed by LeftDoubleClick.
enum class TrayActivation {
    LeftPress,
    LeftDoubleClick,
    RightRelease,
};
