#pragma once
// The startup entry's registry values in the current user's hive, and the process's environment.

#include "app/core/StartWithWindows.h"

namespace vantor::win32 {

class SystemStartupRegistry final : public StartupRegistry {
public:
    std::optional<RunValue> RunCommand(std::string_view name) override;
    [[nodiscard]] bool SetRunCommand(std::string_view name, const RunValue& value) override;
    [[nodiscard]] bool RemoveRunCommand(std::string_view name) override;
    std::optional<std::vector<std::uint8_t>> StartupApproval(std::string_view name) override;
    [[nodiscard]] bool SetStartupApproval(std::string_view name, const std::vector<std::uint8_t>& bytes) override;
    std::string ExpandEnvironment(std::string_view text) override;
};

}  // namespace vantor::win32
