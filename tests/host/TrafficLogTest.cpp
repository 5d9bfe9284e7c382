// The traffic log over files in memory: the line, the append-or-rewrite choice against a plain full
// rewrite, and the two errors.

#include "app/core/TrafficLog.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "tests/fakes/FakeLogFiles.h"

namespace vantor {
namespace {

using testing::FakeLogClock;
using testing::FakeLogFiles;

TEST(TrafficLog, LineFormat) {
    struct Case {
        LocalTime time;
        std::string date, clock;
        std::uint64_t sent, received;
        std::string expected;
    } cases[] = {
        {{2004, 3, 7, 9, 5, 3}, "/", ":", 1234567, 89012, "2004/03/07 09:05:03,1234567,89012"},
        {{2023, 12, 31, 23, 59, 59}, "/", ":", 0, 0, "2023/12/31 23:59:59,0,0"},
        {{2024, 1, 1, 0, 0, 0}, "/", ":", 4294967295u, 7, "2024/01/01 00:00:00,4294967295,7"},
        {{2024, 1, 1, 0, 0, 0}, "/", ":", 75'000'000'000u, 7, "2024/01/01 00:00:00,75000000000,7"},
        {{2024, 6, 9, 14, 7, 8}, "-", ".", 10, 20, "2024-06-09 14.07.08,10,20"},
        {{2024, 6, 9, 14, 7, 8}, "年", "時", 1, 2, "2024年06年09 14時07時08,1,2"},
    };
    for (const Case& c : cases) {
        LocaleFormats locale;
        locale.DateSeparator = c.date;
        locale.TimeSeparator = c.clock;
        EXPECT_EQ(FormatLogLine(c.time, locale, c.sent, c.received), c.expected);
    }
}

struct LogFixture : ::testing::Test {
    FakeLogFiles files;
    FakeLogClock clock;
    TrafficLog log{files, clock};
    LocaleFormats locale;
    const std::string path = "C:\\logs\\vantor.log";

    void Tick(std::uint64_t sent, std::uint64_t received) { log.WriteLogLine(path, {sent, received}, locale); }
    const std::string& Content() { return files.files.at(path).bytes; }
};

TEST_F(LogFixture, LinesAreAppendedToTheLogWeWrote) {
    Tick(0, 0);
    clock.now.Minute = 6;
    Tick(1234, 89012);
    EXPECT_EQ(Content(), "2004/03/07 09:05:03,0,0\r\n2004/03/07 09:06:03,1234,89012\r\n");
    EXPECT_EQ(files.reads, 0) << "a log we wrote ourselves and nobody touched is not read again";
    EXPECT_EQ(files.appends, 1);
}

TEST_F(LogFixture, UnreadableFileRaisesTheOpenErrorAndChangesNothing) {
    files.WriteBehindOurBack(path, "old\n");
    files.unreadable.insert(path);
    try {
        Tick(10, 20);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル C:\\logs\\vantor.log は開けません");
    }
    EXPECT_EQ(Content(), "old\n");
}

TEST_F(LogFixture, MissingFolderRaisesTheCreateErrorOnEveryAttemptAndWritesNothing) {
    files.unwritable.insert(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            Tick(10, 20);
            FAIL() << "no error";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), "ファイル C:\\logs\\vantor.log を作成できません");
        }
    }
    locale.TextLanguage = Language::English;
    try {
        Tick(10, 20);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file C:\\logs\\vantor.log") << "in the program's language";
    }
    EXPECT_TRUE(files.files.empty());
}

TEST_F(LogFixture, FailedAppendFallsBackToTheFullWrite) {
    Tick(0, 0);
    files.failAppends = true;
    Tick(1, 2);
    EXPECT_EQ(Content(), "2004/03/07 09:05:03,0,0\r\n2004/03/07 09:05:03,1,2\r\n");
    EXPECT_EQ(files.replaces, 2);
}

TEST_F(LogFixture, LogPathChangeStartsTheNewFileFromItsOwnContent) {
    Tick(0, 0);
    const std::string other = "C:\\logs\\other.log";
    files.WriteBehindOurBack(other, "x\ny");
    log.WriteLogLine(other, {1, 1}, locale);
    EXPECT_EQ(files.files.at(other).bytes, "x\r\ny\r\n2004/03/07 09:05:03,1,1\r\n");
}

// The content that reading every line and writing them back with CR LF gives, written out plainly.
std::string FullRewrite(const std::string& old, const std::string& line) {
    std::string out, current;
    bool pendingLine = false;
    for (std::size_t i = 0; i < old.size(); ++i) {
        if (old[i] == '\r' || old[i] == '\n') {
            out += current + "\r\n";
            current.clear();
            pendingLine = false;
            if (old[i] == '\r' && i + 1 < old.size() && old[i + 1] == '\n') ++i;
        } else {
            current += old[i];
            pendingLine = true;
        }
    }
    if (pendingLine) out += current + "\r\n";
    return out + line + "\r\n";
}

TEST(TrafficLogRewrite, AppendOrReplaceGivesTheBytesOfAFullRewrite) {
    const std::string ends[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n", ""};
    std::mt19937 random(20240609);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const auto someText = [&](std::size_t lines) {
        std::string text;
        for (std::size_t i = 0; i < lines; ++i) text += std::string(pick(4), static_cast<char>('a' + i % 26)) + ends[pick(6)];
        return text;
    };
    int appendsSeen = 0, replacesSeen = 0;
    for (int run = 0; run < 300; ++run) {
        FakeLogFiles files;
        FakeLogClock clock;
        TrafficLog log(files, clock);
        const std::string path = "log.txt";
        // Absent, empty, CR LF throughout, or mixed endings with or without a final line end.
        switch (run % 4) {
        case 0: break;
        case 1: files.WriteBehindOurBack(path, ""); break;
        case 2: files.WriteBehindOurBack(path, "one\r\ntwo\r\n"); break;
        default: files.WriteBehindOurBack(path, someText(pick(6))); break;
        }
        for (std::uint32_t step = 1; step <= 6; ++step) {
            if (pick(4) == 0 && files.files.count(path))
                files.WriteBehindOurBack(path, pick(2) ? files.files[path].bytes + someText(2) : someText(3));
            const std::string before = files.files.count(path) ? files.files[path].bytes : "";
            const int appends = files.appends, replaces = files.replaces;
            log.WriteLogLine(path, {step * 1000u, step * 10u}, LocaleFormats{});
            const std::string line = FormatLogLine(clock.now, {}, step * 1000u, step * 10u);
            ASSERT_EQ(files.files[path].bytes, FullRewrite(before, line)) << "run " << run << " step " << step;
            appendsSeen += files.appends - appends;
            replacesSeen += files.replaces - replaces;
        }
    }
    EXPECT_GT(appendsSeen, 1000) << "most lines are appended";
    EXPECT_GT(replacesSeen, 100) << "the generated files exercise the full write too";
}

TEST(TrafficLogRewrite, NormaliseLineEnds) {
    EXPECT_EQ(NormaliseLineEnds(""), "");
    EXPECT_EQ(NormaliseLineEnds("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(NormaliseLineEnds("\n\n"), "\r\n\r\n") << "empty lines are kept";
    EXPECT_EQ(NormaliseLineEnds("a\r\r\n"), "a\r\n\r\n");
}

}  // namespace
}  // namespace vantor
