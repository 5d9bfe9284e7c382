// The cost of one traffic-log line on real files, by the size of the log: the line as the log writes it
// (appended to a file it knows) next to a full rewrite of the file (read, normalise, write it all back).
//   build/host/tools/log_benchmark [--benchmark_filter=...]
// The files go to $TMPDIR (or /tmp) and are removed afterwards.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "app/core/TrafficLog.h"

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// The file operations the log needs, over the host's file system, with the same contract as the
// Windows binding: append never creates, replace writes beside the file and renames it over.
class HostLogFiles final : public LogFileSystem {
public:
    std::optional<FileStamp> Stat(const std::string& path) override {
        std::error_code error;
        const auto size = fs::file_size(path, error);
        if (error) return std::nullopt;
        const auto time = fs::last_write_time(path, error);
        if (error) return std::nullopt;
        return FileStamp{size, static_cast<std::uint64_t>(time.time_since_epoch().count())};
    }
    std::optional<std::string> ReadAll(const std::string& path) override {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Append(const std::string& path, std::string_view bytes) override {
        if (!fs::exists(path)) return false;
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out.flush());
    }
    bool Replace(const std::string& path, std::string_view bytes) override {
        const std::string temporary = path + ".tmp";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!out.flush()) return false;
        }
        std::error_code error;
        fs::rename(temporary, path, error);
        return !error;
    }
};

class FixedClock final : public LogClock {
public:
    LocalTime Now() override { return {2024, 6, 9, 14, 7, 8}; }
};

// A log of `lines` lines beside the process, removed when it goes.
struct LogOnDisk {
    std::string path;
    explicit LogOnDisk(std::int64_t lines) {
        const char* tmp = std::getenv("TMPDIR");
        path = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantor-log-benchmark-" + std::to_string(::getpid()) + ".log";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string line = "2024/06/09 14:07:08,1234567,89012\r\n";
        for (std::int64_t i = 0; i < lines; ++i) out << line;
    }
    ~LogOnDisk() { fs::remove(path); }
};

void LineAsTheLogWritesIt(benchmark::State& state) {
    const LogOnDisk file(state.range(0));
    HostLogFiles files;
    FixedClock clock;
    TrafficLog log(files, clock);
    LocaleFormats locale;
    log.WriteLogLine(file.path, {}, locale);  // the run's first line reads the file once
    for (auto _ : state) log.WriteLogLine(file.path, {1000, 1000}, locale);
}

void FullRewriteOfTheFile(benchmark::State& state) {
    const LogOnDisk file(state.range(0));
    HostLogFiles files;
    const std::string line = "2024/06/09 14:07:08,1000,1000\r\n";
    for (auto _ : state) {
        const std::string content = NormaliseLineEnds(files.ReadAll(file.path).value());
        if (!files.Replace(file.path, content + line)) state.SkipWithError("the rewrite failed");
    }
}

}  // namespace

BENCHMARK(LineAsTheLogWritesIt)->Arg(0)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(FullRewriteOfTheFile)->Arg(0)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
