#include "tests/e2e/VantorProcess.h"

#include <stdexcept>

#include "tests/support/Desktop.h"

namespace vantor::e2e {
namespace fs = std::filesystem;

namespace {

struct FindContext {
    DWORD processId;
    const wchar_t* className;
    std::vector<HWND> found;
};

// A copy of the build's vantor.exe (named by VANTOR_EXE) in `folder`.
fs::path CopiedInto(const TempFolder& folder) {
    const fs::path exe = folder.File(L"vantor.exe");
    if (!::CopyFileW(PathFromEnvironment("VANTOR_EXE").c_str(), exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy vantor.exe");
    return exe;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto& find = *reinterpret_cast<FindContext*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == find.processId && testing::ClassOf(window) == find.className) find.found.push_back(window);
    return TRUE;
}

}  // namespace

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = L"";
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    for (HWND child : testing::ChildrenOf(window)) texts.push_back(TextOf(child));
    return texts;
}

std::string AnsiPath(const std::filesystem::path& path) {
    const std::wstring wide = path.wstring();
    std::string out(wide.size() * 2 + 1, '\0');
    out.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                                              out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

double FigureValue(const std::wstring& figure) {
    std::wstring digits;
    for (wchar_t c : figure)
        if (c != L',') digits += c;
    return std::stod(digits);
}

WindowState StateOf(HWND window) {
    WindowState state;
    ::GetWindowRect(window, &state.rect);
    ::GetClientRect(window, &state.client);
    state.style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    state.exStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
    state.visible = ::IsWindowVisible(window) != FALSE;
    state.owner = ::GetWindow(window, GW_OWNER);
    return state;
}

VantorProcess::VantorProcess(const TempFolder& folder) : VantorProcess(CopiedInto(folder)) {}

VantorProcess::VantorProcess(const fs::path& exe) : process_(testing::Quoted(exe), {.folder = exe.parent_path()}) {
    ::WaitForInputIdle(process_.Handle(), 10000);
}

VantorProcess::~VantorProcess() { process_.Terminate(); }

std::vector<HWND> VantorProcess::WindowsOfClass(const wchar_t* className) const {
    FindContext find{process_.Id(), className, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

std::vector<HWND> VantorProcess::VisibleWindows(const wchar_t* className, const wchar_t* caption) const {
    std::vector<HWND> windows;
    for (HWND window : WindowsOfClass(className)) {
        wchar_t text[256] = L"";
        if (caption) ::InternalGetWindowText(window, text, 256);
        if (::IsWindowVisible(window) && (!caption || std::wstring_view(text) == caption)) windows.push_back(window);
    }
    return windows;
}

HWND VantorProcess::WaitForWindow(const wchar_t* className, const wchar_t* caption,
                                  std::chrono::milliseconds limit) const {
    HWND found = nullptr;
    WaitUntil([&] {
        const auto windows = VisibleWindows(className, caption);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    }, limit);
    return found;
}

HWND VantorProcess::Form(std::chrono::milliseconds limit) {
    if (!form_) {
        WaitUntil([&] {
            const auto forms = WindowsOfClass(L"TForm1");
            if (!forms.empty()) form_ = forms.front();
            return form_ != nullptr;
        }, limit);
    }
    return form_;
}

HWND VantorProcess::MoveSizeWindow() {
    GUITHREADINFO info{sizeof info};
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(Form(), nullptr), &info)) return nullptr;
    return info.flags & GUI_INMOVESIZE ? info.hwndMoveSize : nullptr;
}

std::vector<std::wstring> VantorProcess::Figures() {
    std::vector<std::wstring> texts;
    for (HWND child : testing::ChildrenOf(Form())) {
        if (testing::ClassOf(child) != L"TLabel") continue;
        texts.push_back(TextOf(child));
        if (texts.size() == 8) break;
    }
    return texts;
}

bool VantorProcess::Quit(std::chrono::milliseconds limit) {
    RequestQuit();
    return WaitForExit(limit);
}

void VantorProcess::RequestQuit() { ::PostMessageW(Form(), WM_CLOSE, 0, 0); }

bool VantorProcess::WaitForExit(std::chrono::milliseconds limit) { return process_.WaitForExit(limit); }

bool VantorProcess::Running() const { return process_.Running(); }

}  // namespace vantor::e2e
