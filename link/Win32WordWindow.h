#pragma once

#include <functional>

// A message-only window that carries word from other threads to the thread that made it:
// post() may be called on any thread, and the handler then runs on the window's thread,
// from the event loop's own dispatch of the message. The loop dispatches it on its first
// look at the queue, where a posted Qt event costs it a second pass over the queue, and
// under Wine every pass is several calls into its server.
class Win32WordWindow {
public:
    explicit Win32WordWindow(std::function<void()> handler);
    ~Win32WordWindow();
    Win32WordWindow(const Win32WordWindow &) = delete;
    Win32WordWindow &operator=(const Win32WordWindow &) = delete;

    // Makes the window: 0, or the system error that kept it from being made.
    unsigned long create();
    // Any thread. False (GetLastError() tells why) when the word could not be posted.
    bool post();

private:
    std::function<void()> m_handler;   // the window's procedure calls it through the window's data
    void *m_window = nullptr;   // the HWND while it exists
};
