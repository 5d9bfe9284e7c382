// The traffic log against the real file system, in a folder of its own under the temp folder.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/core/TrafficLog.h"
#include "framework/win32/Text.h"
#include "tests/support/Files.h"

namespace vantor {
namespace {

using win32::Narrow;
using win32::Widen;

std::vector<std::wstring> FolderEntries(const std::filesystem::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
    return names;
}

using ::vantor::testing::ReadFileBytes;
using ::vantor::testing::WriteFileBytes;

// The system's file operations, counting the whole-file reads and the appends.
class CountingFiles final : public LogFileSystem {
public:
    int reads = 0, appends = 0;
    std::optional<FileStamp> Stat(const std::string& path) override { return files_.Stat(path); }
    std::optional<std::string> ReadAll(const std::string& path) override {
        ++reads;
        return files_.ReadAll(path);
    }
    bool Append(const std::string& path, std::string_view bytes) override {
        ++appends;
        return files_.Append(path, bytes);
    }
    bool Replace(const std::string& path, std::string_view bytes) override { return files_.Replace(path, bytes); }

private:
    LogFileSystem& files_ = DefaultLogFileSystem();
};

class TrafficLogWin32 : public ::testing::Test {
protected:
    void WriteLine(std::uint64_t sent, std::uint64_t received) {
        log_.WriteLogLine(Narrow(logPath_), {sent, received}, LocaleFormats{});
    }

    // A Japanese folder name: the path goes through UTF-8 in the core and back to UTF-16 at the edge.
    ::vantor::testing::TempFolder folder_{L"vantor-ログ-"};
    std::wstring logPath_ = folder_.File(L"vantor.log").wstring();
    CountingFiles files_;
    TrafficLog log_{files_, DefaultLogClock()};
};

const std::string kStamp = R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2})";

TEST_F(TrafficLogWin32, LinesAreAppendedWithCrLf) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    WriteLine(0, 0);
    const std::string first = ReadFileBytes(logPath_);
    EXPECT_TRUE(std::regex_match(first, std::regex(kStamp + ",0,0\r\n"))) << first;
    EXPECT_EQ(first.substr(0, 4), std::to_string(now.wYear));
    WriteLine(500, 600);
    const std::string both = ReadFileBytes(logPath_);
    EXPECT_EQ(both.substr(0, first.size()), first);
    EXPECT_TRUE(std::regex_match(both.substr(first.size()), std::regex(kStamp + ",500,600\r\n"))) << both;
    WriteLine(100, 100);
    EXPECT_EQ(files_.reads, 0) << "the file's size and time show it is as we left it";
    EXPECT_EQ(files_.appends, 2);
    EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::wstring>{L"vantor.log"}) << "no temporary file is left";
}

TEST_F(TrafficLogWin32, LfFileIsNormalisedAtTheNextLine) {
    WriteFileBytes(logPath_, "2024/01/01 00:00:00,1,2\nlast without end");
    WriteLine(0, 0);
    const std::string content = ReadFileBytes(logPath_);
    EXPECT_TRUE(std::regex_match(content,
                                 std::regex("2024/01/01 00:00:00,1,2\r\nlast without end\r\n" + kStamp + ",0,0\r\n")))
        << content;
    EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::wstring>{L"vantor.log"});
}

TEST_F(TrafficLogWin32, MissingFolderRaisesTheCreateErrorAndCreatesNothing) {
    logPath_ = folder_.File(L"missing\\vantor.log").wstring();
    try {
        WriteLine(1, 1);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + Narrow(logPath_) + " を作成できません");
    }
    EXPECT_TRUE(FolderEntries(folder_.Path()).empty());
}

TEST_F(TrafficLogWin32, FileHeldWithoutSharingRaisesTheOpenErrorAndKeepsItsContent) {
    WriteFileBytes(logPath_, "kept\n");
    const HANDLE holder = ::CreateFileW(logPath_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_THROW(WriteLine(1, 1), std::runtime_error);
    ::CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(logPath_), "kept\n");
}

TEST_F(TrafficLogWin32, BindingAppendsWithoutCreatingAndReplacesInOneStep) {
    LogFileSystem& files = DefaultLogFileSystem();
    const std::string path = Narrow(logPath_);
    EXPECT_FALSE(files.Stat(path));
    EXPECT_FALSE(files.Append(path, "x")) << "append never creates the file";
    EXPECT_TRUE(FolderEntries(folder_.Path()).empty());

    ASSERT_TRUE(files.Replace(path, "one\r\n"));
    const auto before = files.Stat(path);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->Size, 5u);
    ASSERT_TRUE(files.Append(path, "two\r\n"));
    EXPECT_EQ(ReadFileBytes(logPath_), "one\r\ntwo\r\n");
    EXPECT_NE(files.Stat(path), before);
    ASSERT_TRUE(files.Replace(path, "three\r\n"));
    EXPECT_EQ(ReadFileBytes(logPath_), "three\r\n");
    EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::wstring>{L"vantor.log"});
}

}  // namespace
}  // namespace vantor
