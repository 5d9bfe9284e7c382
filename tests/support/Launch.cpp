#include "tests/support/Launch.h"

#include <stdexcept>

#include "framework/win32/Text.h"

namespace vantor::testing {

Launched::Launched(std::wstring commandLine, const LaunchOptions& options) {
    STARTUPINFOW startup{sizeof startup};
    win32::KernelHandle errors;
    if (!options.standardError.empty()) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        errors.Reset(::CreateFileW(options.standardError.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                   CREATE_ALWAYS, 0, nullptr));
        if (errors.Get() == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make " + options.standardError.string());
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = errors.Get();
    }
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, errors ? TRUE : FALSE, 0, nullptr,
                          options.folder.empty() ? nullptr : options.folder.c_str(), &startup, &process))
        throw std::runtime_error("cannot start " + win32::Narrow(commandLine));
    ::CloseHandle(process.hThread);
    process_.Reset(process.hProcess);
    id_ = process.dwProcessId;
}

bool Launched::Running() const { return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

bool Launched::WaitForExit(std::chrono::milliseconds limit, const std::function<void()>& serve) const {
    return WaitUntil([&] { return ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }, limit, serve);
}

std::optional<DWORD> Launched::ExitCode() const {
    DWORD code = 0;
    if (Running() || !::GetExitCodeProcess(process_.Get(), &code)) return std::nullopt;
    return code;
}

void Launched::Terminate() {
    if (!Running()) return;
    ::TerminateProcess(process_.Get(), 1);
    ::WaitForSingleObject(process_.Get(), 5000);
}

std::wstring Quoted(const std::filesystem::path& path) { return L"\"" + path.wstring() + L"\""; }

}  // namespace vantor::testing
