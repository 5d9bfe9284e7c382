#include "app/win32/StartupRegistry.h"

#include <windows.h>

#include "framework/win32/Text.h"

namespace vantor::win32 {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// The value's bytes as stored, or nothing when it is absent or of another type.
std::optional<std::vector<std::uint8_t>> ReadValue(const wchar_t* key, std::string_view name, DWORD flags,
                                                   DWORD* type = nullptr) {
    const std::wstring value = Widen(name);
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, value.c_str(), flags, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(size);
    if (::RegGetValueW(HKEY_CURRENT_USER, key, value.c_str(), flags, type, bytes.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

}  // namespace

std::optional<RunValue> SystemStartupRegistry::RunCommand(std::string_view name) {
    DWORD type = REG_NONE;
    const auto bytes = ReadValue(kRunKey, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type);
    if (!bytes) return std::nullopt;
    std::wstring command(reinterpret_cast<const wchar_t*>(bytes->data()), bytes->size() / sizeof(wchar_t));
    command.resize(command.find(L'\0') == std::wstring::npos ? command.size() : command.find(L'\0'));
    return RunValue{Narrow(command), type == REG_EXPAND_SZ};
}

bool SystemStartupRegistry::SetRunCommand(std::string_view name, const RunValue& value) {
    const std::wstring text = Widen(value.Command);
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, Widen(name).c_str(), value.Expandable ? REG_EXPAND_SZ : REG_SZ,
                             text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SystemStartupRegistry::RemoveRunCommand(std::string_view name) {
    const LSTATUS status = ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, Widen(name).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::optional<std::vector<std::uint8_t>> SystemStartupRegistry::StartupApproval(std::string_view name) {
    return ReadValue(kApprovedKey, name, RRF_RT_REG_BINARY);
}

bool SystemStartupRegistry::SetStartupApproval(std::string_view name, const std::vector<std::uint8_t>& bytes) {
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, Widen(name).c_str(), REG_BINARY, bytes.data(),
                             static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

std::string SystemStartupRegistry::ExpandEnvironment(std::string_view text) {
    const std::wstring wide = Widen(text);
    const DWORD length = ::ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (length == 0) return std::string(text);
    std::wstring expanded(length, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), length);
    if (written == 0 || written > length) return std::string(text);
    expanded.resize(written - 1);
    return Narrow(expanded);
}

}  // namespace vantor::win32
