#pragma once
// Files as the Win32 and end-to-end suites handle them: a folder of a test's own, a file's bytes and
// lines, and the values a settings file holds.

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor::testing {

// A fresh folder under the temp directory, named from `prefix`, removed at the end with everything in it
// (read-only files too).
class TempFolder {
public:
    explicit TempFolder(std::wstring_view prefix = L"vantor-");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const noexcept { return path_; }
    std::filesystem::path File(std::wstring_view name) const { return path_ / name; }
    // The folder in UTF-8 with its trailing backslash, as the executable's directory comes.
    std::string Directory() const;

private:
    std::filesystem::path path_;
};

// A path the build hands over in an environment variable: a Unix path (the cross build under Wine) names
// the file on Wine's drive Z:.
std::filesystem::path PathFromEnvironment(const char* variable);

std::string ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, std::string_view bytes);
// The lines of a text, each without its CR LF; a last line without one counts when it is not empty.
std::vector<std::string> CrLfLines(const std::string& text);
// How many line ends (LF) a file holds.
std::size_t LineCount(const std::filesystem::path& file);

// A settings file's text in UTF-8: UTF-16 after a byte-order mark, else the ANSI code page.
std::string SettingsText(const std::filesystem::path& file);
// Its sections with their keys and values as stored (in the ANSI code page), in file order.
using SettingsKeys = std::vector<std::pair<std::string, std::string>>;
std::vector<std::pair<std::string, SettingsKeys>> SettingsSections(const std::filesystem::path& file);
// Its values by "section/key".
std::map<std::string, std::string> SettingsValues(const std::filesystem::path& file);

}  // namespace vantor::testing
