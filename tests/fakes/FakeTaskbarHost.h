#pragma once
// The tray component's application and icon services held in memory: icons are numbers whose copies are
// counted while alive, popup menus and the application record what was done to them in one log.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/Taskbar/Taskbar.h"
#include "tests/fakes/FakeSynchronizer.h"
#include "tests/fakes/FakeTrayShell.h"

namespace vantor::testing {

class FakeTaskbarHost final : public TaskbarHost {
public:
    // The shell's foreground calls go into this host's log, in order with the host's own.
    explicit FakeTaskbarHost(FakeTrayShell& shell) {
        shell.onForeground = [this](WindowHandle window) {
            log.push_back("foreground");
            foregroundWindows.push_back(window);
        };
    }

    WindowHandle applicationWindow = reinterpret_cast<WindowHandle>(0xA0);
    IconRef applicationIcon = reinterpret_cast<IconRef>(0xA1);
    bool iconic = false;
    bool modalRunOpen = false;
    std::map<std::string, IconRef> resources;  // icon resources by name
    std::map<TComponent*, WindowHandle> componentWindows;
    std::function<void()> onMinimize;
    std::function<void()> onRestore;

    std::vector<std::string> log;  // "foreground", "process", "hide", "popup x,y", "modal run to front" in order
    std::vector<WindowHandle> foregroundWindows;
    std::vector<std::string> loadedResources;
    int liveCopies = 0;
    int copiesMade = 0;
    FakeSynchronizer gui;

    // Copies of icon `n` get handles n * 0x1000 + a serial number, so each copy is told apart.
    class FakeIcon final : public TrayIconImage {
    public:
        FakeIcon(int& live, IconRef handle) : live_(live), handle_(handle) { ++live_; }
        ~FakeIcon() override { --live_; }
        IconRef Handle() const noexcept override { return handle_; }

    private:
        int& live_;
        IconRef handle_;
    };

    WindowHandle ApplicationWindow() override { return applicationWindow; }
    IconRef ApplicationIcon() override { return applicationIcon; }
    bool ApplicationIconic() override { return iconic; }
    void ProcessMessages() override { log.push_back("process"); }
    std::function<void()>& MinimizeHandler() override { return onMinimize; }
    std::function<void()>& RestoreHandler() override { return onRestore; }
    void HideWindow(WindowHandle window) override {
        log.push_back(window == applicationWindow ? "hide application" : "hide");
    }
    WindowHandle ComponentWindow(TComponent& component) override {
        const auto found = componentWindows.find(&component);
        return found == componentWindows.end() ? nullptr : found->second;
    }
    std::unique_ptr<TrayIconImage> CopyIcon(IconRef icon) override {
        ++copiesMade;
        const auto handle = reinterpret_cast<std::uintptr_t>(icon) * 0x1000 + static_cast<std::uintptr_t>(copiesMade);
        return std::make_unique<FakeIcon>(liveCopies, reinterpret_cast<IconRef>(handle));
    }
    std::unique_ptr<TrayIconImage> LoadResourceIcon(const std::string& name) override {
        loadedResources.push_back(name);
        const auto found = resources.find(name);
        if (found == resources.end()) return nullptr;
        return std::make_unique<FakeIcon>(sharedLive_, found->second);
    }
    Synchronizer& GuiThread() override { return gui; }
    bool BringModalRunToFront() override {
        if (modalRunOpen) log.push_back("modal run to front");
        return modalRunOpen;
    }

    // Simulates the application being minimised and restored.
    void Minimize() {
        iconic = true;
        if (onMinimize) onMinimize();
    }
    void Restore() {
        iconic = false;
        if (onRestore) onRestore();
    }

private:
    int sharedLive_ = 0;
};

// A popup menu that records where it was opened into the host's log.
class FakePopupMenu final : public TCustomPopupMenu {
public:
    FakePopupMenu(TComponent* owner, std::vector<std::string>& log) : TCustomPopupMenu(owner), log_(log) {}
    void Popup(int x, int y) override { log_.push_back("popup " + std::to_string(x) + "," + std::to_string(y)); }

private:
    std::vector<std::string>& log_;
};

}  // namespace vantor::testing
