#include "app/win32/SingleInstance.h"

#include <sddl.h>
#include <wtsapi32.h>

#include <optional>
#include <string>
#include <vector>

#include "app/core/SecondStart.h"
#include "framework/win32/Text.h"

namespace vantor::win32 {
namespace {

// The SID of the token's user, as text.
std::optional<std::string> UserOfToken(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
    const KernelHandle owned(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    wchar_t* sid = nullptr;
    if (!size || !::GetTokenInformation(token, TokenUser, user.data(), size, &size) ||
        !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid))
        return std::nullopt;
    std::string text = Narrow(sid);
    ::LocalFree(sid);
    return text;
}

// The user of another process: from its token, else (a copy run as administrator keeps its token from a
// normal start) from the session's process list.
std::optional<std::string> ProcessUser(DWORD processId) {
    if (const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)) {
        const KernelHandle owned(process);
        if (auto user = UserOfToken(process)) return user;
    }
    WTS_PROCESS_INFOW* processes = nullptr;
    DWORD count = 0;
    if (!::WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &processes, &count)) return std::nullopt;
    std::optional<std::string> user;
    for (DWORD i = 0; i < count && !user; ++i) {
        wchar_t* sid = nullptr;
        if (processes[i].ProcessId == processId && processes[i].pUserSid &&
            ::ConvertSidToStringSidW(processes[i].pUserSid, &sid)) {
            user = Narrow(sid);
            ::LocalFree(sid);
        }
    }
    ::WTSFreeMemory(processes);
    return user;
}

// The user's SID names the mutex, so that two users of one session (run as) each get their own program.
std::wstring MutexIdentity() {
    if (const auto sid = UserOfToken(::GetCurrentProcess())) return Widen(*sid);
    wchar_t user[256] = L"";
    DWORD length = 256;
    return ::GetUserNameW(user, &length) ? user : L"";
}

InstanceMutex MutexOutcome(HANDLE mutex, DWORD error) {
    if (mutex) return error == ERROR_ALREADY_EXISTS ? InstanceMutex::Exists : InstanceMutex::Created;
    return error == ERROR_ACCESS_DENIED ? InstanceMutex::Refused : InstanceMutex::Unavailable;
}

DWORD WindowProcess(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process;
}

class SystemRunningCopies final : public RunningCopies {
public:
    SystemRunningCopies(const wchar_t* className, const wchar_t* windowText)
        : className_(className), windowText_(windowText) {}

    std::vector<Window> ProgramWindows() override {
        found_.clear();
        ::EnumWindows(Collect, reinterpret_cast<LPARAM>(this));
        return found_;
    }
    std::optional<std::string> WindowUser(Window window) override {
        return ProcessUser(WindowProcess(AsWindow(window)));
    }
    std::optional<std::uint32_t> WindowSession(Window window) override {
        DWORD session = 0;
        if (!::ProcessIdToSessionId(WindowProcess(AsWindow(window)), &session)) return std::nullopt;
        return session;
    }
    std::string OwnUser() override { return UserOfToken(::GetCurrentProcess()).value_or(""); }
    std::uint32_t OwnSession() override {
        DWORD session = 0;
        ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
        return session;
    }
    void AskToShow(Window window) override {
        ::AllowSetForegroundWindow(WindowProcess(AsWindow(window)));
        ::PostMessageW(AsWindow(window), SingleInstance::ShowRequestMessage(), 0, 0);
    }
    void Wait(std::chrono::milliseconds span) override { ::Sleep(static_cast<DWORD>(span.count())); }

private:
    static HWND AsWindow(Window window) { return reinterpret_cast<HWND>(window); }

    static BOOL CALLBACK Collect(HWND window, LPARAM context) {
        auto& self = *reinterpret_cast<SystemRunningCopies*>(context);
        wchar_t name[64] = L"", text[64] = L"";
        ::GetClassNameW(window, name, 64);
        ::InternalGetWindowText(window, text, 64);
        if (WindowProcess(window) != ::GetCurrentProcessId() && std::wstring_view(name) == self.className_ &&
            std::wstring_view(text) == self.windowText_)
            self.found_.push_back(reinterpret_cast<Window>(window));
        return TRUE;
    }

    std::wstring_view className_;
    std::wstring_view windowText_;
    std::vector<Window> found_;
};

}  // namespace

SingleInstance::SingleInstance() {
    const std::wstring name = L"Local\\Vantor-" + MutexIdentity();
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = ::GetLastError();
    mutex_.Reset(mutex);
    first_ = RunsTheProgram(MutexOutcome(mutex, error));
}

UINT SingleInstance::ShowRequestMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Vantor.ShowMiniWindow");
    return message;
}

bool SingleInstance::AcceptShowRequests(HWND window) {
    using FilterForWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using FilterForProcess = BOOL(WINAPI*)(UINT, DWORD);
    // Looked up at run time: Windows 7 has the call for one window, Vista only the one for the process.
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (const auto forWindow = reinterpret_cast<FilterForWindow>(
            reinterpret_cast<void*>(::GetProcAddress(user32, "ChangeWindowMessageFilterEx"))))
        return forWindow(window, ShowRequestMessage(), MSGFLT_ALLOW, nullptr) != FALSE;
    if (const auto forProcess = reinterpret_cast<FilterForProcess>(
            reinterpret_cast<void*>(::GetProcAddress(user32, "ChangeWindowMessageFilter"))))
        return forProcess(ShowRequestMessage(), MSGFLT_ADD) != FALSE;
    // Before Vista no filter stands in the way.
    return true;
}

void SingleInstance::ShowRunning(const wchar_t* className, const wchar_t* windowText) const {
    SystemRunningCopies copies(className, windowText);
    (void)ShowRunningCopy(copies);
}

}  // namespace vantor::win32
