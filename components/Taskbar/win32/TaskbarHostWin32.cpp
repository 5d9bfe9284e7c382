#include "components/Taskbar/win32/TaskbarHostWin32.h"

#include <stdexcept>

#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Text.h"
#include "framework/win32/Window.h"

namespace vantor {

TaskbarHost& DefaultTaskbarHost() {
    static win32::TaskbarHostWin32 host;
    return host;
}

namespace win32 {
namespace {

// Null once the application object has gone: a tray icon that outlives it can still be destroyed.
Application* TheApplication() { return Application::Current(); }

class OwnedIcon final : public TrayIconImage {
public:
    explicit OwnedIcon(HICON icon) : icon_(icon) {}
    IconRef Handle() const noexcept override { return icon_.Get(); }

private:
    IconHandle icon_;
};

// LoadIcon hands out the module's shared icon, which nobody destroys.
class SharedIcon final : public TrayIconImage {
public:
    explicit SharedIcon(HICON icon) : icon_(icon) {}
    IconRef Handle() const noexcept override { return icon_; }

private:
    HICON icon_;
};

}  // namespace

WindowHandle TaskbarHostWin32::ApplicationWindow() { return TheApplication() ? TheApplication()->Handle() : nullptr; }
IconRef TaskbarHostWin32::ApplicationIcon() { return TheApplication() ? TheApplication()->Icon() : nullptr; }
bool TaskbarHostWin32::ApplicationIconic() { return TheApplication() && TheApplication()->IsIconic(); }

void TaskbarHostWin32::ProcessMessages() {
    if (TheApplication()) TheApplication()->ProcessMessages();
}

std::function<void()>& TaskbarHostWin32::MinimizeHandler() {
    static std::function<void()> none;
    return TheApplication() ? TheApplication()->OnMinimize : none;
}

std::function<void()>& TaskbarHostWin32::RestoreHandler() {
    static std::function<void()> none;
    return TheApplication() ? TheApplication()->OnRestore : none;
}

void TaskbarHostWin32::HideWindow(WindowHandle window) { ::ShowWindow(static_cast<HWND>(window), SW_HIDE); }

WindowHandle TaskbarHostWin32::ComponentWindow(TComponent& component) {
    const auto* window = dynamic_cast<const Window*>(&component);
    return window ? window->Handle() : nullptr;
}

std::unique_ptr<TrayIconImage> TaskbarHostWin32::CopyIcon(IconRef icon) {
    const HICON copy = ::CopyIcon(static_cast<HICON>(icon));
    if (!copy) return nullptr;
    return std::make_unique<OwnedIcon>(copy);
}

std::unique_ptr<TrayIconImage> TaskbarHostWin32::LoadResourceIcon(const std::string& name) {
    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), Widen(name).c_str());
    if (!icon) return nullptr;
    return std::make_unique<SharedIcon>(icon);
}

Synchronizer& TaskbarHostWin32::GuiThread() {
    if (!TheApplication()) throw std::logic_error("the tray icon's animation needs the application object");
    return *TheApplication();
}

bool TaskbarHostWin32::BringModalRunToFront() { return TheApplication() && TheApplication()->BringModalRunToFront(); }

}  // namespace win32
}  // namespace vantor
