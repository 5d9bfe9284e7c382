#pragma once
// The tray's system calls held in memory: a notification area that records every request and can be
// told to fail, hidden windows that route messages like the real class does, a fake clock with timers,
// a cursor, and the version sources of the shell library.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "components/TrShlApi/TrShlApi.h"

namespace vantor::testing {

struct NotifyCall {
    NotifyAction action;
    NotifyIconRecord record;
};

struct MessageCall {
    WindowHandle window;
    std::uint32_t msg;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

struct FakeTopLevelWindow {
    WindowHandle handle;
    std::string className;
    std::uint32_t process;
    std::uint32_t style;
};

inline WindowHandle FakeHandle(std::uintptr_t value) { return reinterpret_cast<WindowHandle>(value); }

class FakeTrayShell final : public TrayShell {
public:
    // --- scripted answers
    struct NotifyAnswer {
        bool succeeds;
        std::uint32_t error;
    };
    std::deque<NotifyAnswer> notifyAnswers;  // consumed one per call; success when empty
    std::optional<DllVersion> dllVersion = DllVersion{true, true, 6, 0};
    std::string systemDirectory = "C:\\windows\\system32";
    bool hasVersionInfo = true;
    std::optional<std::uint32_t> translation = 0x04B00409;  // language 0409, code page 04B0
    std::map<std::string, std::string> versionStrings{{"\\\\StringFileInfo\\\\040904B0\\\\FileVersion", "6.0.2900.6242"}};
    bool windowCreationFails = false;
    bool timersFail = false;
    std::uint32_t doubleClickTime = 500;
    TPoint cursor;
    std::vector<FakeTopLevelWindow> topLevelWindows;
    std::intptr_t defaultResult = 0;

    // --- what happened
    std::vector<NotifyCall> notifyCalls;
    std::function<void(WindowHandle)> onForeground;
    int classRegistrations = 0;
    int classUnregistrations = 0;
    std::vector<WindowHandle> createdWindows;
    std::vector<WindowHandle> destroyedWindows;
    std::vector<MessageCall> sent;
    std::vector<MessageCall> posted;
    std::vector<std::string> versionQueries;
    int defaultProcessed = 0;

    static constexpr std::uint32_t kTaskbarCreated = 0xC0DE;

    // --- the fake clock and its timers
    std::uint64_t now = 0;
    struct Timer {
        std::uint64_t due;
        std::uint32_t period;
    };
    std::map<std::pair<WindowHandle, std::uintptr_t>, Timer> timers;

    // Moves the clock on, delivering WM_TIMER for each timer that falls due (in order of due time).
    void Advance(std::uint64_t milliseconds) {
        const std::uint64_t end = now + milliseconds;
        for (;;) {
            auto next = timers.end();
            for (auto it = timers.begin(); it != timers.end(); ++it)
                if (it->second.due <= end && (next == timers.end() || it->second.due < next->second.due)) next = it;
            if (next == timers.end()) break;
            now = next->second.due;
            next->second.due += next->second.period;
            Route(next->first.first, wm::kTimer, next->first.second, 0);
        }
        now = end;
    }

    // Delivers the posted messages, oldest first.
    void DispatchPosted() {
        while (!pendingPosts_.empty()) {
            const MessageCall call = pendingPosts_.front();
            pendingPosts_.pop_front();
            Route(call.window, call.msg, call.wParam, call.lParam);
        }
    }

    // A message from the shell (or anyone) arriving at a window: routed, or default-processed.
    std::intptr_t Route(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
        TMessage message{msg, wParam, lParam, 0};
        if (RouteTrayMessage(window, message)) return message.Result;
        return DefaultProcessing(window, message);
    }

    std::vector<NotifyAction> Actions() const {
        std::vector<NotifyAction> actions;
        for (const auto& call : notifyCalls) actions.push_back(call.action);
        return actions;
    }

    // --- TrayShell
    void RegisterTrayClass() override { ++classRegistrations; }
    void UnregisterTrayClass() override { ++classUnregistrations; }
    std::uint32_t RegisterTaskbarCreatedMessage() override { return kTaskbarCreated; }
    WindowHandle CreateTrayWindow() override {
        if (windowCreationFails) return nullptr;
        createdWindows.push_back(FakeHandle(0x1000 + createdWindows.size() * 0x10));
        return createdWindows.back();
    }
    void DestroyTrayWindow(WindowHandle window) override { destroyedWindows.push_back(window); }
    std::intptr_t DefaultProcessing(WindowHandle, const TMessage&) override {
        ++defaultProcessed;
        return defaultResult;
    }
    bool SetForegroundWindow(WindowHandle window) override {
        if (onForeground) onForeground(window);
        return true;
    }
    bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override {
        notifyCalls.push_back({action, record});
        NotifyAnswer answer{true, 0};
        if (!notifyAnswers.empty()) {
            answer = notifyAnswers.front();
            notifyAnswers.pop_front();
        }
        lastError_ = answer.succeeds ? 0 : answer.error;
        return answer.succeeds;
    }
    std::uint32_t LastError() override { return lastError_; }
    std::optional<DllVersion> CallDllGetVersion() override { return dllVersion; }
    std::string SystemDirectory() override { return systemDirectory; }
    std::optional<std::vector<std::byte>> ReadFileVersionInfo(const std::string& path) override {
        versionQueries.push_back(path);
        if (!hasVersionInfo) return std::nullopt;
        return std::vector<std::byte>(16);
    }
    std::optional<std::uint32_t> QueryVersionDword(std::span<const std::byte>, const std::string& subBlock) override {
        versionQueries.push_back(subBlock);
        return translation;
    }
    std::optional<std::string> QueryVersionString(std::span<const std::byte>, const std::string& subBlock) override {
        versionQueries.push_back(subBlock);
        const auto found = versionStrings.find(subBlock);
        if (found == versionStrings.end()) return std::nullopt;
        return found->second;
    }
    TPoint CursorPos() override { return cursor; }
    bool SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) override {
        if (timersFail) return false;
        timers[{window, id}] = {now + milliseconds, milliseconds};
        return true;
    }
    void KillTimer(WindowHandle window, std::uintptr_t id) override { timers.erase({window, id}); }
    std::uint32_t DoubleClickTime() override { return doubleClickTime; }
    std::intptr_t SendMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                              std::intptr_t lParam) override {
        sent.push_back({window, msg, wParam, lParam});
        return Route(window, msg, wParam, lParam);
    }
    bool PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        posted.push_back({window, msg, wParam, lParam});
        pendingPosts_.push_back({window, msg, wParam, lParam});
        return true;
    }
    WindowHandle FindTopLevelWindow(const std::string& className, WindowHandle after) override {
        bool passed = after == nullptr;
        for (const auto& window : topLevelWindows) {
            if (passed && window.className == className) return window.handle;
            if (window.handle == after) passed = true;
        }
        return nullptr;
    }
    std::uint32_t WindowProcessId(WindowHandle window) override {
        for (const auto& w : topLevelWindows)
            if (w.handle == window) return w.process;
        return 0;
    }
    std::uint32_t WindowStyle(WindowHandle window) override {
        for (const auto& w : topLevelWindows)
            if (w.handle == window) return w.style;
        return 0;
    }
    TColor SysColor(int index) override { return index == kColorInfoBk ? 0x00E1FFFFu : 0x00000000u; }

private:
    std::uint32_t lastError_ = 0;
    std::deque<MessageCall> pendingPosts_;
};

}  // namespace vantor::testing
