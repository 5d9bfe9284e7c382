#include "app/core/SecondStart.h"

namespace vantor {
namespace {

constexpr int kSearches = 50;
constexpr std::chrono::milliseconds kSearchPause{100};

}  // namespace

bool RunsTheProgram(InstanceMutex mutex) {
    return mutex == InstanceMutex::Created || mutex == InstanceMutex::Unavailable;
}

bool ShowRunningCopy(RunningCopies& copies) {
    const std::string user = copies.OwnUser();
    const std::uint32_t session = copies.OwnSession();
    for (int search = 0; search < kSearches; ++search) {
        bool shown = false;
        for (const RunningCopies::Window window : copies.ProgramWindows()) {
            if (copies.WindowUser(window) != user || copies.WindowSession(window) != session) continue;
            copies.AskToShow(window);
            shown = true;
        }
        if (shown) return true;
        copies.Wait(kSearchPause);
    }
    return false;
}

}  // namespace vantor
