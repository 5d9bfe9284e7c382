#pragma once
// One program per user and session. The first start takes a named mutex of the user's in the session's
// namespace; a later start of the same user hands over to the running copy's window and ends. The copy
// it hands over to must be of the same user in the same session: another account's copy on the same
// desktop ("Run as") is left alone.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

// What the system answered when this start asked for the mutex.
enum class InstanceMutex {
    Created,      // no copy of this user runs in this session
    Exists,       // a copy runs and shares the mutex
    Refused,      // a copy runs with rights this start lacks (run as administrator) and keeps it from us
    Unavailable,  // the mutex could not be made for another reason
};

// Whether this start runs the program: also when no mutex could be made at all, since a start that ends
// without a copy running would leave the user with nothing.
bool RunsTheProgram(InstanceMutex mutex);

// What a second start asks the system about the running copies' windows.
class RunningCopies {
public:
    using Window = std::uintptr_t;
    virtual ~RunningCopies() = default;
    // The program's main windows (by class and text) of other processes on this desktop.
    virtual std::vector<Window> ProgramWindows() = 0;
    // The user (a SID as text) of the window's process, or nothing where the system does not say.
    virtual std::optional<std::string> WindowUser(Window window) = 0;
    virtual std::optional<std::uint32_t> WindowSession(Window window) = 0;
    virtual std::string OwnUser() = 0;
    virtual std::uint32_t OwnSession() = 0;
    // Lets the window's process take the foreground and asks the window to show itself.
    virtual void AskToShow(Window window) = 0;
    virtual void Wait(std::chrono::milliseconds span) = 0;
};

// Asks the running copy of this user and session to show itself, waiting a few seconds for one still
// starting to make its window; false when none came.
bool ShowRunningCopy(RunningCopies& copies);

}  // namespace vantor
