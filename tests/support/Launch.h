#pragma once
// Starting a program from a test, the one way every suite does it: a Windows program, or a Linux one
// through Wine, with the folder it starts in and where its standard error goes.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "framework/win32/Handles.h"
#include "tests/support/Polling.h"

namespace vantor::testing {

struct LaunchOptions {
    std::filesystem::path folder;         // where it starts; empty: where this process is
    std::filesystem::path standardError;  // a file that takes its standard error; empty: none
};

// A started program. It runs on when this ends: Wine starts a Linux program detached anyway.
class Launched {
public:
    // Starts the command line (the program's path first, in quotes where it holds spaces); throws
    // std::runtime_error when it cannot.
    explicit Launched(std::wstring commandLine, const LaunchOptions& options = {});

    DWORD Id() const noexcept { return id_; }
    HANDLE Handle() const noexcept { return process_.Get(); }
    bool Running() const;
    // Waits until it has ended, serving this thread meanwhile as WaitUntil does.
    bool WaitForExit(std::chrono::milliseconds limit, const std::function<void()>& serve = DispatchWaitingMessages) const;
    // Its exit code, once it has ended.
    std::optional<DWORD> ExitCode() const;
    // Ends it at once, if it still runs, and waits for it to go.
    void Terminate();

private:
    win32::KernelHandle process_;
    DWORD id_ = 0;
};

// A path in quotes, as a command line's program or argument.
std::wstring Quoted(const std::filesystem::path& path);

}  // namespace vantor::testing
