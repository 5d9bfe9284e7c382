// TThread's sleep, wake-up, pause and stop, with the GUI thread's hand-offs served by the test thread.

#include "framework/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>

#include "framework/Unicode.h"
#include "tests/fakes/FakeSynchronizer.h"

namespace vantor {
namespace {

using namespace std::chrono_literals;
using testing::FakeSynchronizer;

// Runs `pass` as its pass; a pass that returns true puts the thread to sleep until the next wake-up.
class ScriptedThread final : public TThread {
public:
    ScriptedThread(Synchronizer& gui, std::function<bool(ScriptedThread&)> pass) : TThread(gui), pass_(std::move(pass)) {}
    ~ScriptedThread() override { Stop(); }

    std::atomic<int> passes{0};
    std::atomic<bool> lastSleepWoken{true};
    using TThread::SleepFor;
    using TThread::Synchronize;

private:
    void Execute() override {
        ++passes;
        if (pass_(*this)) lastSleepWoken = SleepUntilWoken();
    }
    std::function<bool(ScriptedThread&)> pass_;
};

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 2000ms) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(Thread, StartsAsleepAndRunsOnePassPerWakeUp) {
    FakeSynchronizer gui;
    ScriptedThread thread(gui, [](ScriptedThread&) { return true; });
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(thread.passes, 0);
    EXPECT_TRUE(thread.Sleeping());
    for (int wake = 1; wake <= 3; ++wake) {
        thread.Wake();
        ASSERT_TRUE(Eventually([&] { return thread.passes == wake && thread.Sleeping(); }));
    }
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(thread.passes, 3);
}

TEST(Thread, AWakeUpDuringAPassIsNotLost) {
    FakeSynchronizer gui;
    std::atomic<bool> release{false};
    ScriptedThread thread(gui, [&](ScriptedThread&) {
        while (!release) std::this_thread::sleep_for(1ms);
        return true;
    });
    thread.Wake();
    ASSERT_TRUE(Eventually([&] { return thread.passes == 1; }));
    thread.Wake();  // while the pass runs, before the thread tries to sleep
    release = true;
    ASSERT_TRUE(Eventually([&] { return thread.passes == 2 && thread.Sleeping(); }))
        << "the pending wake-up lets the thread through its next sleep";
}

TEST(Thread, PauseStopsFurtherPassesUntilTheNextWakeUp) {
    FakeSynchronizer gui;
    ScriptedThread thread(gui, [](ScriptedThread& self) {
        self.SleepFor(2ms);
        return false;
    });
    thread.Wake();
    ASSERT_TRUE(Eventually([&] { return thread.passes > 3; }));
    thread.Pause();
    ASSERT_TRUE(Eventually([&] { return thread.Sleeping(); }));
    const int paused = thread.passes;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(thread.passes, paused);
    thread.Wake();
    ASSERT_TRUE(Eventually([&] { return thread.passes > paused + 3; }));
}

TEST(Thread, StopEndsASleepingThreadWithoutAnotherPass) {
    FakeSynchronizer gui;
    ScriptedThread never(gui, [](ScriptedThread&) { return true; });
    never.Stop();
    EXPECT_EQ(never.passes, 0) << "a thread stopped before its first wake-up does no work";

    ScriptedThread sleeper(gui, [](ScriptedThread&) { return true; });
    sleeper.Wake();
    ASSERT_TRUE(Eventually([&] { return sleeper.passes == 1 && sleeper.Sleeping(); }));
    sleeper.Stop();
    EXPECT_EQ(sleeper.passes, 1);
    EXPECT_FALSE(sleeper.lastSleepWoken) << "the sleep ended for the stop request";
    EXPECT_TRUE(sleeper.Terminated());
    sleeper.Stop();  // a second stop is harmless
}

TEST(Thread, StopCutsATimedSleepShort) {
    FakeSynchronizer gui;
    ScriptedThread thread(gui, [](ScriptedThread& self) {
        self.SleepFor(10s);
        return false;
    });
    thread.Wake();
    ASSERT_TRUE(Eventually([&] { return thread.passes == 1; }));
    const auto before = std::chrono::steady_clock::now();
    thread.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
}

TEST(Thread, HandOffsRunOnTheGuiThreadAndAStopWhileOneWaitsEndsWithoutRunningIt) {
    FakeSynchronizer gui;
    const auto guiThread = std::this_thread::get_id();
    std::atomic<int> ran{0};
    std::atomic<bool> onGui{false};
    ScriptedThread thread(gui, [&](ScriptedThread& self) {
        self.Synchronize([&] {
            onGui = std::this_thread::get_id() == guiThread;
            ++ran;
        });
        return false;
    });
    thread.Wake();
    ASSERT_TRUE(gui.ServeUntil([&] { return ran >= 2; }));
    EXPECT_TRUE(onGui);

    // The thread now waits for a hand-off nobody serves; Stop must serve it (or wait forever) and, with
    // the stop requested, skip its work.
    ASSERT_TRUE(Eventually([&] { return thread.passes > ran; }));
    const int before = ran;
    thread.Stop();
    EXPECT_EQ(ran, before);
}

TEST(Unicode, ConvertsBothWaysAndReplacesMalformedInput) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
        std::u32string utf32;
    };
    const Case roundTrips[] = {
        {"", u"", U""}, {"abc", u"abc", U"abc"}, {"送信 1,234 KB", u"送信 1,234 KB", U"送信 1,234 KB"},
        {"\xF0\x9F\x93\xB6", u"\U0001F4F6", U"\U0001F4F6"}, {"\xC3\xA9", u"\u00E9", U"\u00E9"},
    };
    for (const auto& c : roundTrips) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(Utf8ToUtf32(c.utf8), c.utf32);
        EXPECT_EQ(Utf32ToUtf8(c.utf32), c.utf8);
    }
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xE3\x81"), u"\uFFFD") << "cut short";
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD") << "overlong";
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD") << "an encoded surrogate";
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace vantor
