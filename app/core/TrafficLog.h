#pragma once
// The traffic log: one CR LF-terminated line "yyyy/MM/dd hh:mm:ss,<sent>,<received>" per interval, with the
// bytes sent and received since the previous line.
//
// The file's content after each line is exactly what reading every line (split at CR LF, lone CR or lone
// LF) and writing them all back with CR LF plus the new line gives. To keep a long log safe and each line
// cheap, the line is appended when the file is known to be in that shape already (last written by us and
// unchanged since, or found so on reading); otherwise the normalised content goes to a temporary file
// beside the log, which then replaces the log in one step, so a crash never leaves half a log behind.
//
// Calling order inside a tick: WriteLogLine with the bytes counted since the last line, then (only when
// it returned) start the count again. An exception ends the tick with the count going on.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/core/Locale.h"
#include "app/core/MonitorState.h"

namespace vantor {

struct LocalTime {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;  // 0..23
    int Minute = 0;
    int Second = 0;
};

class LogClock {
public:
    virtual ~LogClock() = default;
    virtual LocalTime Now() = 0;
};

// What tells a file apart from the one we last wrote.
struct FileStamp {
    std::uint64_t Size = 0;
    std::uint64_t LastWriteTime = 0;
    bool operator==(const FileStamp&) const = default;
};

// The file operations the log needs. Paths are UTF-8.
class LogFileSystem {
public:
    virtual ~LogFileSystem() = default;
    // Size and last-write time, or nothing when no file exists at `path`.
    virtual std::optional<FileStamp> Stat(const std::string& path) = 0;
    // The whole file, or nothing when it cannot be opened or read.
    virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
    // Appends to an existing file; never creates one. On failure the file keeps its former length.
    [[nodiscard]] virtual bool Append(const std::string& path, std::string_view bytes) = 0;
    // Makes `bytes` the file's whole content in one step (written beside it, then swapped in), creating
    // the file if need be. On failure the file is left as it was.
    [[nodiscard]] virtual bool Replace(const std::string& path, std::string_view bytes) = 0;
    // The log's text in the file's encoding (the system's ANSI code page on Windows).
    virtual std::string EncodeText(std::string_view utf8) const { return std::string(utf8); }
};

// The file system and the local clock of the operating system (defined by the platform layer).
LogFileSystem& DefaultLogFileSystem();
LogClock& DefaultLogClock();

// "yyyy/MM/dd hh:mm:ss,<sent>,<received>" with the locale's date and time separators, no line end.
std::string FormatLogLine(const LocalTime& time, const LocaleFormats& locale, std::uint64_t sent,
                          std::uint64_t received);

// Every line of `text` (split at CR LF, lone CR or lone LF) ended by CR LF.
std::string NormaliseLineEnds(std::string_view text);

// One per run: it remembers the file as it left it, which is what lets the next line be appended.
class TrafficLog {
public:
    TrafficLog(LogFileSystem& files, LogClock& clock) : files_(files), clock_(clock) {}

    // Writes one line to `path` with the bytes sent and received. Throws std::runtime_error naming the
    // file, in the locale's language: "ファイル <path> は開けません" when an existing file cannot be read
    // (nothing changed), "ファイル <path> を作成できません" when it cannot be written (the file keeps its
    // former content).
    void WriteLogLine(const std::string& path, ByteCounts counts, const LocaleFormats& locale);

private:
    LogFileSystem& files_;
    LogClock& clock_;
    // The file as we left it after our last successful write.
    std::string writtenPath_;
    std::optional<FileStamp> writtenStamp_;
};

}  // namespace vantor
