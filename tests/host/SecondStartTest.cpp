#include "app/core/SecondStart.h"

#include <gtest/gtest.h>

#include <map>

namespace vantor {
namespace {

using Copy = std::pair<std::optional<std::string>, std::optional<std::uint32_t>>;  // its user and session

// The program's windows, which appear once `searchesBefore` searches went by.
struct FakeCopies final : RunningCopies {
    std::map<Window, Copy> copies;
    int searchesBefore = 0;
    std::vector<Window> asked;
    std::chrono::milliseconds waited{0};

    std::vector<Window> ProgramWindows() override {
        std::vector<Window> found;
        for (const auto& [window, copy] : copies)
            if (searchesBefore <= 0) found.push_back(window);
        --searchesBefore;
        return found;
    }
    std::optional<std::string> WindowUser(Window window) override { return copies.at(window).first; }
    std::optional<std::uint32_t> WindowSession(Window window) override { return copies.at(window).second; }
    std::string OwnUser() override { return "S-1-5-21-7-1001"; }
    std::uint32_t OwnSession() override { return 1; }
    void AskToShow(Window window) override { asked.push_back(window); }
    void Wait(std::chrono::milliseconds span) override { waited += span; }
};

TEST(SecondStart, AMutexKeptFromUsMeansACopyRunsAndOnlyOneOfOurUserAndSessionIsAsked) {
    EXPECT_FALSE(RunsTheProgram(InstanceMutex::Refused)) << "a copy run as administrator keeps it from us";
    EXPECT_TRUE(RunsTheProgram(InstanceMutex::Unavailable)) << "rather than end with no copy running";

    const std::string ami = "S-1-5-21-7-1001", ben = "S-1-5-21-7-1002";
    struct Case {
        const char* what;
        std::map<RunningCopies::Window, Copy> copies;
        std::vector<RunningCopies::Window> asked;
        int searchesBefore, waits;  // waits of 100 ms
    };
    const Case cases[] = {
        {"another account's in our session, and ours", {{1, {ben, 1}}, {2, {ami, 1}}}, {2}, 0, 0},
        {"ours in another session, and ours", {{1, {ami, 2}}, {2, {ami, 1}}}, {2}, 0, 0},
        {"user or session unknown, and ours", {{1, {std::nullopt, 1}}, {2, {ami, std::nullopt}}, {3, {ami, 1}}}, {3}, 0, 0},
        {"ours, its window made a second later", {{1, {ami, 1}}}, {1}, 10, 10},
        {"only another account's: none after five seconds", {{1, {ben, 1}}}, {}, 0, 50},
    };
    for (const Case& c : cases) {
        FakeCopies fake;
        fake.copies = c.copies;
        fake.searchesBefore = c.searchesBefore;
        EXPECT_EQ(ShowRunningCopy(fake), !c.asked.empty()) << c.what;
        EXPECT_EQ(fake.asked, c.asked) << c.what;
        EXPECT_EQ(fake.waited, std::chrono::milliseconds(100 * c.waits)) << c.what;
    }
}

}  // namespace
}  // namespace vantor
