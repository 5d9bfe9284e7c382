#include "app/core/StartWithWindows.h"

#include <gtest/gtest.h>

#include <map>

namespace vantor {
namespace {

constexpr std::string_view kExe = "C:\\Program Files\\Vantor\\vantor.exe";

TEST(StartWithWindows, ACommandStartsThisExecutableWhateverTheCaseQuotesSlashesAndArguments) {
    struct Case {
        std::string_view command;
        bool starts;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\Vantor\\vantor.exe\"", true},
        {"\"c:\\program files\\VANTOR\\Vantor.EXE\"", true},
        {"\"C:/Program Files/Vantor/vantor.exe\" /minimized", true},
        {"  \"C:\\Program Files\\Vantor\\vantor.exe\"  ", true},
        {"C:\\Program Files\\Vantor\\vantor.exe", true},
        {"C:\\Program Files\\Vantor\\vantor.exe -x", true},
        {"\"C:\\Program Files\\Vantor\\vantor.exe", false},  // unclosed
        {"\"C:\\Program Files\\Vantor\\vantor.exe.bak\"", false},
        {"\"D:\\Vantor\\vantor.exe\"", false},
        {"C:\\Program Files\\Vantor\\vantor.exe2", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandStarts(c.command, kExe), c.starts) << c.command;
    EXPECT_TRUE(CommandStarts("\"D:\\ÜBUNG\\ΔΟΚΙΜΗ\\ＶＡＮＴＯＲ\\vantor.exe\"", "d:\\übung\\δοκιμη\\ｖａｎｔｏｒ\\vantor.exe"))
        << "letters beyond ASCII fold too";
    EXPECT_FALSE(CommandStarts("\"D:\\ログ\\vantor.exe\"", "D:\\ロク\\vantor.exe"));
    EXPECT_EQ(RunCommandFor(kExe), "\"C:\\Program Files\\Vantor\\vantor.exe\"");
}

// The two registry keys' values in memory and %ProgramFiles%; each change is recorded, and one kind can be
// made to fail.
class FakeStartupRegistry final : public StartupRegistry {
public:
    std::map<std::string, RunValue, std::less<>> run;
    std::map<std::string, std::vector<std::uint8_t>, std::less<>> approved;
    std::vector<std::string> changes;
    bool refuse = false;

    std::optional<RunValue> RunCommand(std::string_view name) override {
        const auto it = run.find(name);
        return it == run.end() ? std::nullopt : std::optional(it->second);
    }
    bool SetRunCommand(std::string_view name, const RunValue& value) override {
        changes.push_back((value.Expandable ? "set expandable " : "set ") + value.Command);
        if (!refuse) run[std::string(name)] = value;
        return !refuse;
    }
    bool RemoveRunCommand(std::string_view name) override {
        changes.push_back("remove");
        if (!refuse) run.erase(std::string(name));
        return !refuse;
    }
    std::optional<std::vector<std::uint8_t>> StartupApproval(std::string_view name) override {
        const auto it = approved.find(name);
        return it == approved.end() ? std::nullopt : std::optional(it->second);
    }
    bool SetStartupApproval(std::string_view name, const std::vector<std::uint8_t>& bytes) override {
        changes.push_back("approve " + std::to_string(bytes.at(0)));
        if (!refuse) approved[std::string(name)] = bytes;
        return !refuse;
    }
    std::string ExpandEnvironment(std::string_view text) override {
        std::string expanded(text);
        if (const auto at = expanded.find("%ProgramFiles%"); at != std::string::npos)
            expanded.replace(at, 14, "C:\\Program Files");
        return expanded;
    }
};

TEST(StartWithWindows, TheBoxShowsTheEntryAndOkChangesItOnlyWhenTheBoxChanged) {
    const std::string ours = "\"C:\\Program Files\\Vantor\\vantor.exe\"", other = "\"D:\\Vantor\\vantor.exe\"";
    const RunValue mine{ours}, another{other};
    const std::vector<std::uint8_t> enabled(12, 0), disabled{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    struct Case {
        const char* what;
        std::optional<RunValue> run;
        std::optional<std::vector<std::uint8_t>> approval;
        bool shown;  // what the box shows at opening
        bool ticked;  // what it holds at OK
        std::vector<std::string> changes;
        std::optional<RunValue> runAfter;
    };
    std::vector<std::uint8_t> enabledTwo = enabled, enabledSix = enabled, disabledSeven = disabled;
    enabledTwo[0] = 2;
    enabledSix[0] = 6;
    disabledSeven[0] = 7;
    const RunValue expandable{"%ProgramFiles%\\Vantor\\vantor.exe", true}, plain{expandable.Command, false};
    const RunValue quoted{"\"%ProgramFiles%\\Vantor\\vantor.exe\" /minimized", true}, oursExpandable{ours, true};
    const Case cases[] = {
        {"no entry, left unticked", std::nullopt, std::nullopt, false, false, {}, std::nullopt},
        {"no entry, ticked", std::nullopt, std::nullopt, false, true, {"set " + ours}, mine},
        {"ours, left ticked", mine, std::nullopt, true, true, {}, mine},
        {"ours, unticked", mine, enabledTwo, true, false, {"remove"}, std::nullopt},
        {"ours, enabled with 6", mine, enabledSix, true, true, {}, mine},
        {"another copy's, left unticked: it stays", another, std::nullopt, false, false, {}, another},
        {"another copy's, ticked: ours instead", another, std::nullopt, false, true, {"set " + ours}, mine},
        {"ours but disabled, left unticked", mine, disabled, false, false, {}, mine},
        {"ours but disabled, ticked: enabled again", mine, disabledSeven, false, true, {"set " + ours, "approve 2"}, mine},
        {"expandable, ours once expanded", expandable, std::nullopt, true, true, {}, expandable},
        {"expandable, quoted, with arguments", quoted, std::nullopt, true, false, {"remove"}, std::nullopt},
        {"a plain value is not expanded", plain, std::nullopt, false, true, {"set " + ours}, mine},
        {"expandable but disabled, ticked: stays expandable", expandable, disabled, false, true,
         {"set expandable " + ours, "approve 2"}, oursExpandable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeStartupRegistry registry;
        if (c.run) registry.run[std::string(kRunValueName)] = *c.run;
        if (c.approval) registry.approved[std::string(kRunValueName)] = *c.approval;
        EXPECT_EQ(StartsWithWindows(registry, kExe), c.shown);
        EXPECT_TRUE(ApplyStartWithWindows(registry, kExe, c.shown, c.ticked));
        EXPECT_EQ(registry.changes, c.changes);
        EXPECT_EQ(registry.RunCommand(kRunValueName), c.runAfter);
        EXPECT_EQ(StartsWithWindows(registry, kExe), c.ticked) << "the box shows the same at the next opening";
    }
    FakeStartupRegistry refusing;
    refusing.refuse = true;
    EXPECT_FALSE(ApplyStartWithWindows(refusing, kExe, false, true)) << "a refused change is told";
    EXPECT_FALSE(ApplyStartWithWindows(refusing, kExe, true, false));
}

}  // namespace
}  // namespace vantor
