#pragma once
// The usage history's seams for the host tests: a clock that says what it is told, with a time zone given
// as offsets in force from given instants, and the real file system under a fresh temporary folder.

#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/core/UsageHistory.h"

namespace vantor::testing {

class FakeUsageClock final : public UsageClock {
public:
    std::int64_t utc = 0;
    std::uint64_t uptimeMilliseconds = 0;
    // (from this UTC second on, this offset in minutes), in time order; before the first, its offset.
    std::vector<std::pair<std::int64_t, int>> zone{{0, 0}};

    std::int64_t UtcSeconds() override { return utc; }
    std::uint64_t UptimeMilliseconds() override { return uptimeMilliseconds; }
    int OffsetMinutesAt(std::int64_t utcSeconds) override {
        int offset = zone.front().second;
        for (const auto& [from, minutes] : zone) offset = utcSeconds >= from ? minutes : offset;
        return offset;
    }
};

class TempUsageFolder final : public UsageFiles {
public:
    TempUsageFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() / ("vantor-usage-test-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
        std::filesystem::permissions(path_, std::filesystem::perms::all);
    }
    ~TempUsageFolder() override {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempUsageFolder(const TempUsageFolder&) = delete;
    TempUsageFolder& operator=(const TempUsageFolder&) = delete;

    // With its separator, as the history takes it.
    std::string Folder() const { return path_.string() + "/"; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    bool Exists(const std::string& path) override { return std::filesystem::exists(path); }
    bool Rename(const std::string& from, const std::string& to) override {
        std::error_code error;
        if (!Exists(to)) std::filesystem::rename(from, to, error);
        return !error && !Exists(from);
    }

private:
    std::filesystem::path path_;
};

// Within its scope file permissions hold for this process, also when the tests run as root.
class WithoutRootPrivileges {
public:
    WithoutRootPrivileges() : wasRoot_(::geteuid() == 0) {
        if (wasRoot_ && ::seteuid(65534) != 0) wasRoot_ = false;
    }
    ~WithoutRootPrivileges() {
        if (wasRoot_) (void)::seteuid(0);
    }
    WithoutRootPrivileges(const WithoutRootPrivileges&) = delete;
    WithoutRootPrivileges& operator=(const WithoutRootPrivileges&) = delete;

private:
    bool wasRoot_;
};

}  // namespace vantor::testing
