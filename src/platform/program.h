#pragma once

/// The running program as a whole.
class IProgram {
public:
    virtual ~IProgram() = default;
    /// Ends the program: every event loop returns, so no further event of any
    /// window is handled; the windows still open are destroyed afterwards.
    virtual void quit() = 0;
};

/// Leaves QApplication::exec().
class QtProgram final : public IProgram {
public:
    void quit() override;
};
