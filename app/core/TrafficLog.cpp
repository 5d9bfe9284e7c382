#include "app/core/TrafficLog.h"

#include <stdexcept>

namespace vantor {
namespace {

void AppendPadded(std::string& out, int value, std::size_t digits) {
    std::string text = std::to_string(value);
    if (text.size() < digits) text.insert(0, digits - text.size(), '0');
    out += text;
}

}  // namespace

std::string FormatLogLine(const LocalTime& time, const LocaleFormats& locale, std::uint64_t sent,
                          std::uint64_t received) {
    std::string line;
    AppendPadded(line, time.Year, 4);
    line += locale.DateSeparator;
    AppendPadded(line, time.Month, 2);
    line += locale.DateSeparator;
    AppendPadded(line, time.Day, 2);
    line += ' ';
    AppendPadded(line, time.Hour, 2);
    line += locale.TimeSeparator;
    AppendPadded(line, time.Minute, 2);
    line += locale.TimeSeparator;
    AppendPadded(line, time.Second, 2);
    line += ',' + std::to_string(sent) + ',' + std::to_string(received);
    return line;
}

std::string NormaliseLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 2);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) {
            out.append(text.substr(i)).append("\r\n");
            break;
        }
        out.append(text.substr(i, end - i)).append("\r\n");
        i = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return out;
}

void TrafficLog::WriteLogLine(const std::string& path, ByteCounts counts, const LocaleFormats& locale) {
    const std::string line = files_.EncodeText(FormatLogLine(clock_.Now(), locale, counts.Sent, counts.Received)) + "\r\n";
    const auto remember = [&] {
        writtenPath_ = path;
        writtenStamp_ = files_.Stat(path);
    };

    const std::optional<FileStamp> stamp = files_.Stat(path);
    if (stamp && writtenStamp_ && path == writtenPath_ && *stamp == *writtenStamp_ && files_.Append(path, line))
        return remember();
    writtenStamp_.reset();

    std::string content;
    bool alreadyNormal = false;
    if (stamp) {
        const std::optional<std::string> existing = files_.ReadAll(path);
        if (!existing) throw std::runtime_error(WithPath(TextsFor(locale.TextLanguage).CannotOpenLog, path));
        content = NormaliseLineEnds(*existing);
        alreadyNormal = content == *existing;
    }
    // An append failing on a file we just read (it may have gone meanwhile) still gets the full write.
    const bool written = (alreadyNormal && files_.Append(path, line)) || files_.Replace(path, content + line);
    if (!written) throw std::runtime_error(WithPath(TextsFor(locale.TextLanguage).CannotCreateLog, path));
    remember();
}

}  // namespace vantor
