#include "app/core/SecondStart.h"

#include <gtest/gtest.h>

#include <map>

namespace vantor {
namespace {

constexpr char kAmi[] = "S-1-5-21-1-2-3-1001";
constexpr char kBen[] = "S-1-5-21-1-2-3-1002";

// The program's windows on the desktop, each with its process's user and session; they show up only
// after `searchesBeforeWindows` searches, as a copy still starting makes its window.
class FakeRunningCopies final : public RunningCopies {
public:
    struct Copy {
        std::optional<std::string> user;
        std::optional<std::uint32_t> session;
    };
    std::map<Window, Copy> windows;
    int searchesBeforeWindows = 0;
    std::vector<Window> asked;
    std::chrono::milliseconds waited{0};

    std::vector<Window> ProgramWindows() override {
        if (searches_++ < searchesBeforeWindows) return {};
        std::vector<Window> found;
        for (const auto& [window, copy] : windows) found.push_back(window);
        return found;
    }
    std::optional<std::string> WindowUser(Window window) override { return windows.at(window).user; }
    std::optional<std::uint32_t> WindowSession(Window window) override { return windows.at(window).session; }
    std::string OwnUser() override { return kAmi; }
    std::uint32_t OwnSession() override { return 1; }
    void AskToShow(Window window) override { asked.push_back(window); }
    void Wait(std::chrono::milliseconds span) override { waited += span; }

private:
    int searches_ = 0;
};

TEST(SecondStart, AMutexTakenOrKeptFromUsMeansAnotherCopyRuns) {
    EXPECT_TRUE(RunsTheProgram(InstanceMutex::Created));
    EXPECT_FALSE(RunsTheProgram(InstanceMutex::Exists));
    EXPECT_FALSE(RunsTheProgram(InstanceMutex::Refused)) << "a copy run as administrator keeps the mutex from us";
    EXPECT_TRUE(RunsTheProgram(InstanceMutex::Unavailable)) << "no mutex at all: run rather than end with nothing";
}

TEST(SecondStart, HandsOverOnlyToACopyOfTheSameUserInTheSameSession) {
    using Copy = FakeRunningCopies::Copy;
    struct Case {
        const char* what;
        std::map<RunningCopies::Window, Copy> windows;
        std::vector<RunningCopies::Window> asked;
        int searchesBeforeWindows = 0;
    };
    const Case cases[] = {
        {"ours", {{10, {kAmi, 1}}}, {10}},
        {"another account's in our session, and ours", {{10, {kBen, 1}}, {20, {kAmi, 1}}}, {20}},
        {"ours in another session, and ours", {{10, {kAmi, 2}}, {20, {kAmi, 1}}}, {20}},
        {"a window whose user the system keeps to itself", {{10, {std::nullopt, 1}}, {20, {kAmi, 1}}}, {20}},
        {"a window whose session is unknown", {{10, {kAmi, std::nullopt}}, {20, {kAmi, 1}}}, {20}},
        {"ours, its window made a second later", {{10, {kAmi, 1}}}, {10}, 10},
    };
    for (const Case& c : cases) {
        FakeRunningCopies copies;
        copies.windows = c.windows;
        copies.searchesBeforeWindows = c.searchesBeforeWindows;
        EXPECT_TRUE(ShowRunningCopy(copies)) << c.what;
        EXPECT_EQ(copies.asked, c.asked) << c.what;
        EXPECT_EQ(copies.waited, std::chrono::milliseconds(100 * c.searchesBeforeWindows)) << c.what;
    }
}

TEST(SecondStart, OnlyAnotherAccountsCopyOnTheDesktopIsLeftAloneAfterFiveSeconds) {
    FakeRunningCopies copies;
    copies.windows = {{10, {kBen, 1}}};
    EXPECT_FALSE(ShowRunningCopy(copies));
    EXPECT_TRUE(copies.asked.empty());
    EXPECT_EQ(copies.waited, std::chrono::milliseconds(5000));
}

}  // namespace
}  // namespace vantor
