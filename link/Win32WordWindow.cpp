#include "link/Win32WordWindow.h"

#include <windows.h>

#include <utility>

namespace {

constexpr UINT kWordMessage = WM_APP;
constexpr wchar_t kClassName[] = L"RevertexWordWindow";

LRESULT CALLBACK wordWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kWordMessage) {
        if (auto *handler = reinterpret_cast<std::function<void()> *>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            (*handler)();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Registered once for the process; a second registration of the same class fails
// harmlessly with ERROR_CLASS_ALREADY_EXISTS.
DWORD registerClass()
{
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = wordWindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        return 0;
    return GetLastError();
}

} // namespace

Win32WordWindow::Win32WordWindow(std::function<void()> handler) : m_handler(std::move(handler))
{
}

Win32WordWindow::~Win32WordWindow()
{
    if (m_window)
        DestroyWindow(static_cast<HWND>(m_window));   // words still queued for it go with it
}

unsigned long Win32WordWindow::create()
{
    if (m_window)
        return 0;
    if (const DWORD error = registerClass())
        return error;
    HWND window = CreateWindowExW(0, kClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return GetLastError();
    SetLastError(0);
    if (!SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_handler)) && GetLastError() != 0) {
        const DWORD error = GetLastError();
        DestroyWindow(window);
        return error;
    }
    m_window = window;
    return 0;
}

bool Win32WordWindow::post()
{
    return PostMessageW(static_cast<HWND>(m_window), kWordMessage, 0, 0);
}
