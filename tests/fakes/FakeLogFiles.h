#pragma once
// Files held in memory for the traffic log, with a last-write time that moves on every change, and a
// clock that says what it is told.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "app/core/TrafficLog.h"

namespace vantor::testing {

class FakeLogFiles final : public LogFileSystem {
public:
    struct File {
        std::string bytes;
        std::uint64_t lastWrite = 0;
    };
    std::map<std::string, File> files;
    std::set<std::string> unreadable;  // exist, but cannot be opened
    std::set<std::string> unwritable;  // cannot be written or created (e.g. a missing folder)
    bool failAppends = false;
    int reads = 0, appends = 0, replaces = 0;

    // Another program writes the file.
    void WriteBehindOurBack(const std::string& path, const std::string& bytes) { Store(path, bytes); }

    std::optional<FileStamp> Stat(const std::string& path) override {
        const auto file = files.find(path);
        if (file == files.end()) return std::nullopt;
        return FileStamp{file->second.bytes.size(), file->second.lastWrite};
    }
    std::optional<std::string> ReadAll(const std::string& path) override {
        ++reads;
        const auto file = files.find(path);
        if (file == files.end() || unreadable.count(path)) return std::nullopt;
        return file->second.bytes;
    }
    bool Append(const std::string& path, std::string_view bytes) override {
        ++appends;
        const auto file = files.find(path);
        if (file == files.end() || unwritable.count(path) || failAppends) return false;
        Store(path, file->second.bytes + std::string(bytes));
        return true;
    }
    bool Replace(const std::string& path, std::string_view bytes) override {
        ++replaces;
        if (unwritable.count(path)) return false;
        Store(path, std::string(bytes));
        return true;
    }

private:
    void Store(const std::string& path, std::string bytes) { files[path] = {std::move(bytes), ++time_}; }
    std::uint64_t time_ = 0;
};

class FakeLogClock final : public LogClock {
public:
    LocalTime now{2004, 3, 7, 9, 5, 3};
    LocalTime Now() override { return now; }
};

}  // namespace vantor::testing
