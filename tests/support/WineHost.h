#pragma once
// The Linux machine under Wine, as tests reach it: Unix paths of Windows files, Linux programs started
// from a Windows test, and files that not even root may write.

#include <filesystem>
#include <string>

namespace vantor::testing {

// The Unix path of a Windows path, through Wine's own mapping; empty where there is none.
std::string UnixPathOf(const std::filesystem::path& path);

// Starts a Linux program. Wine starts it detached, with no handle to wait on: poll for its effect.
bool StartUnixProgram(const std::wstring& commandLine);

// The Linux interface that the IPv4 default route leaves by, as /proc/net/route tells; empty when the
// machine has no such route.
std::string DefaultRouteInterface();

// A file that no account may write while this lives, root included: read-only for Windows and
// immutable for Linux (chattr +i).
class UnwritableFile {
public:
    explicit UnwritableFile(std::filesystem::path file);
    ~UnwritableFile();
    UnwritableFile(const UnwritableFile&) = delete;
    UnwritableFile& operator=(const UnwritableFile&) = delete;
    bool Locked() const noexcept { return locked_; }

private:
    bool Writable() const;
    std::filesystem::path file_;
    std::string unix_;
    bool locked_ = false;
};

}  // namespace vantor::testing
