#pragma once
// The tray component's application and icon services bound to the application object and the real
// icon calls. Owned icons live in IconHandle, so HandleCounts::icons counts them.

#include <windows.h>

#include "components/Taskbar/Taskbar.h"

namespace vantor::win32 {

class TaskbarHostWin32 : public TaskbarHost {
public:
    WindowHandle ApplicationWindow() override;
    IconRef ApplicationIcon() override;
    bool ApplicationIconic() override;
    void ProcessMessages() override;
    std::function<void()>& MinimizeHandler() override;
    std::function<void()>& RestoreHandler() override;
    void HideWindow(WindowHandle window) override;
    WindowHandle ComponentWindow(TComponent& component) override;
    std::unique_ptr<TrayIconImage> CopyIcon(IconRef icon) override;
    std::unique_ptr<TrayIconImage> LoadResourceIcon(const std::string& name) override;
    Synchronizer& GuiThread() override;
    bool BringModalRunToFront() override;
};

}  // namespace vantor::win32
