#include "tests/support/Files.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "framework/win32/Text.h"

namespace vantor::testing {
namespace fs = std::filesystem;

TempFolder::TempFolder(std::wstring_view prefix) {
    static int serial = 0;
    path_ = fs::temp_directory_path() / (std::wstring(prefix) + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                         std::to_wstring(::GetTickCount64()) + L"-" + std::to_wstring(++serial));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored))
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(path_, ignored);
}

std::string TempFolder::Directory() const { return win32::Narrow(path_.wstring() + L"\\"); }

fs::path PathFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value) throw std::runtime_error(std::string(variable) + " is not set");
    std::string path = value;
    if (path.starts_with('/')) path = "Z:" + path;
    std::ranges::replace(path, '/', '\\');
    return fs::path(path);
}

std::string ReadFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::size_t LineCount(const fs::path& file) {
    const std::string text = ReadFileBytes(file);
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::string SettingsText(const fs::path& file) {
    const std::string bytes = ReadFileBytes(file);
    if (!bytes.starts_with("\xFF\xFE")) return win32::AnsiToUtf8(bytes);
    return win32::Narrow({reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2});
}

std::vector<std::pair<std::string, SettingsKeys>> SettingsSections(const fs::path& file) {
    std::vector<std::pair<std::string, SettingsKeys>> sections;
    std::istringstream lines(ReadFileBytes(file));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            sections.push_back({line.substr(1, line.size() - 2), {}});
        else if (const auto eq = line.find('='); eq != std::string::npos && !sections.empty())
            sections.back().second.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }
    return sections;
}

std::map<std::string, std::string> SettingsValues(const fs::path& file) {
    std::map<std::string, std::string> values;
    for (const auto& [section, keys] : SettingsSections(file))
        for (const auto& [key, value] : keys) values[section + "/" + key] = value;
    return values;
}

}  // namespace vantor::testing
