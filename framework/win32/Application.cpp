#include "framework/win32/Application.h"

#include <algorithm>

#include "framework/win32/Text.h"

namespace vantor::win32 {
namespace {
constexpr wchar_t kApplicationClass[] = L"VantorApplication";
constexpr UINT kRunHandOffs = WM_APP + 1;
}  // namespace

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ExecutableDirectory() {
    std::wstring path = ExecutablePath();
    path.resize(path.find_last_of(L"\\/") + 1);
    return path;
}

Application::Application(HINSTANCE instance) : instance_(instance), guiThread_(::GetCurrentThreadId()) {
    current_ = this;
    const std::wstring path = ExecutablePath();
    title_ = path.substr(path.find_last_of(L"\\/") + 1);
    title_ = title_.substr(0, title_.find_last_of(L'.'));
    icon_ = ::LoadIconW(instance_, L"MAINICON");

    RegisterClass(kApplicationClass, 0, nullptr, icon_);
    // Never shown: it owns the forms so that they get no taskbar buttons of their own.
    CreateHandle({.className = kApplicationClass,
                  .text = title_.c_str(),
                  .style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX});
}

Application::~Application() {
    DestroyHandle();
    current_ = nullptr;
}

int Application::Run() {
    MSG message{};
    while (!terminated_) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (TakeDialogMessage(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    terminated_ = true;
    // A quit request still waiting would close at once a box shown on the way out (an error while saving).
    ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return 0;
}

void Application::Terminate() {
    if (terminated_) return;
    // The flag ends the loop even when a nested loop running at the time (the system's move loop) takes
    // the quit message for itself.
    terminated_ = true;
    ::PostQuitMessage(0);
}

void Application::ProcessMessages() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        if (TakeDialogMessage(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void Application::HandleException(const std::exception& error) {
    if (current_) {
        current_->ShowException(error);
    } else {
        ::MessageBoxW(nullptr, Widen(error.what()).c_str(), L"", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

void Application::ShowException(const std::exception& error) { ShowMessage(Widen(error.what()), MB_ICONSTOP); }

void Application::ShowMessage(const std::wstring& text, UINT icon) {
    const HWND owner = ::GetActiveWindow() ? ::GetActiveWindow() : Handle();
    const ModalRun run = EnterModalRun(owner);
    ::MessageBoxW(owner, text.c_str(), title_.c_str(), MB_OK | icon);
}

Application::ModalRun::ModalRun(Application& application, HWND window) : application_(application) {
    application_.modalRuns_.push_back(window);
}

Application::ModalRun::~ModalRun() { application_.modalRuns_.pop_back(); }

bool Application::BringModalRunToFront() {
    if (modalRuns_.empty()) return false;
    HWND front = modalRuns_.back();
    while (const HWND box = BoxOwnedBy(front)) front = box;
    ::SetForegroundWindow(front);
    return true;
}

HWND Application::BoxOwnedBy(HWND owner) const {
    struct Search {
        HWND owner;
        const std::vector<HWND>& forms;
        HWND found = nullptr;
    } search{owner, forms_};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            // Tooltips and menus have no caption; the forms are runs themselves or stand behind one.
            const bool box = ::GetWindow(window, GW_OWNER) == s.owner && ::IsWindowVisible(window) &&
                             (::GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION &&
                             std::find(s.forms.begin(), s.forms.end(), window) == s.forms.end();
            if (box) s.found = window;
            return !box;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Application::Minimize() {
    iconic_ = true;
    if (OnMinimize) OnMinimize();
}

void Application::Restore() {
    iconic_ = false;
    if (OnRestore) OnRestore();
}

void Application::AddForm(HWND form) { forms_.push_back(form); }

void Application::RemoveForm(HWND form) {
    const auto it = std::find(forms_.begin(), forms_.end(), form);
    if (it == forms_.end()) return;
    if (static_cast<std::size_t>(it - forms_.begin()) < activatedForms_) --activatedForms_;
    forms_.erase(it);
}

void Application::AddModelessForm(HWND form) {
    if (std::find(modelessForms_.begin(), modelessForms_.end(), form) == modelessForms_.end()) modelessForms_.push_back(form);
}

void Application::RemoveModelessForm(HWND form) { std::erase(modelessForms_, form); }

bool Application::TakeDialogMessage(MSG& message) const {
    for (const HWND form : modelessForms_)
        if (message.hwnd == form || ::IsChild(form, message.hwnd)) return ::IsDialogMessageW(form, &message) != FALSE;
    return false;
}

void Application::FormActivated(HWND form) {
    const auto it = std::find(forms_.begin(), forms_.end(), form);
    if (it == forms_.end()) return;
    if (static_cast<std::size_t>(it - forms_.begin()) >= activatedForms_) ++activatedForms_;
    std::rotate(forms_.begin(), it, it + 1);
}

void Application::Synchronize(const std::function<void()>& work) {
    if (::GetCurrentThreadId() == guiThread_) {
        work();
        return;
    }
    HandOff handOff{&work, nullptr};
    std::unique_lock lock(handOffMutex_);
    handOffs_.push_back(&handOff);
    ::PostMessageW(Handle(), kRunHandOffs, 0, 0);
    handOffDone_.wait(lock, [&] { return handOff.done; });
    if (handOff.error) std::rethrow_exception(handOff.error);
}

void Application::CheckSynchronize() {
    std::vector<HandOff*> waiting;
    {
        std::lock_guard lock(handOffMutex_);
        waiting.swap(handOffs_);
    }
    for (HandOff* handOff : waiting) {
        try {
            (*handOff->work)();
        } catch (...) {
            handOff->error = std::current_exception();
        }
        std::lock_guard lock(handOffMutex_);
        handOff->done = true;
    }
    if (!waiting.empty()) handOffDone_.notify_all();
}

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunHandOffs) {
        CheckSynchronize();
        return 0;
    }
    return DefaultHandler(message, wParam, lParam);
}

}  // namespace vantor::win32
