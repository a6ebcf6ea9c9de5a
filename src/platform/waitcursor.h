#pragma once

namespace kivo {

// The hourglass while a command works, restored on every way out. Does nothing in a program
// without a GUI (the tests of the lower layers).
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

    // The arrow while the user is asked something: waiting for an answer is not work. Only
    // when an hourglass is up; the hourglass comes back when the pause ends.
    class Pause
    {
    public:
        Pause();
        ~Pause();
        Pause(const Pause &) = delete;
        Pause &operator=(const Pause &) = delete;

    private:
        bool m_active;
    };

private:
    bool m_active;
};

} // namespace kivo
