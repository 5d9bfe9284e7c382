#include "tests/e2e/VantorProcess.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace vantor::e2e {
namespace fs = std::filesystem;

namespace {

struct FindContext {
    DWORD processId;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto& find = *reinterpret_cast<FindContext*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[128] = L"";
    ::GetClassNameW(window, name, 128);
    if (owner == find.processId && std::wstring_view(name) == find.className) find.found.push_back(window);
    return TRUE;
}

}  // namespace

fs::path PathFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value) throw std::runtime_error(std::string(variable) + " is not set");
    std::string path = value;
    if (path.starts_with('/')) path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return fs::path(path);
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = L"";
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        texts.push_back(TextOf(child));
    return texts;
}

std::map<std::string, std::string> IniValues(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line.front() == '[') section = line.substr(1, line.size() - 2);
        else if (const auto eq = line.find('='); eq != std::string::npos)
            values[section + "/" + line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
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

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    path_ = fs::path(base) / (L"vantor-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(::GetTickCount64()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ReadFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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

VantorProcess::VantorProcess(const TempFolder& folder) {
    const fs::path exe = folder.File(L"vantor.exe");
    if (!::CopyFileW(PathFromEnvironment("VANTOR_EXE").c_str(), exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy vantor.exe");
    Start(exe);
}

VantorProcess::VantorProcess(const fs::path& exe) { Start(exe); }

void VantorProcess::Start(const fs::path& exe) {
    std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          exe.parent_path().c_str(), &startup, &process))
        throw std::runtime_error("cannot start vantor.exe");
    ::CloseHandle(process.hThread);
    process_.Reset(process.hProcess);
    id_ = process.dwProcessId;
    ::WaitForInputIdle(process_.Get(), 10000);
}

VantorProcess::~VantorProcess() {
    if (Running()) {
        ::TerminateProcess(process_.Get(), 1);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
}

std::vector<HWND> VantorProcess::WindowsOfClass(const wchar_t* className) const {
    FindContext find{id_, className, {}};
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
    for (HWND child = ::GetWindow(Form(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = L"";
        ::GetClassNameW(child, name, 64);
        if (std::wstring_view(name) != L"TLabel") continue;
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

bool VantorProcess::WaitForExit(std::chrono::milliseconds limit) {
    return WaitUntil([&] { return ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }, limit);
}

bool VantorProcess::Running() const { return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

}  // namespace vantor::e2e
