#pragma once
// An INI file held in memory: sections and keys keep the order of their first write, names match
// without regard to case, and every call is recorded. A write can be told to fail. Until it is made Unicode,
// the file stores '?' for each character its code page lacks.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/core/SettingsFile.h"
#include "framework/Unicode.h"

namespace vantor::testing {

class FakeProfile final : public ProfileStore {
public:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };

    std::string path = "C:\\Vantor\\vantor20.ini";
    std::vector<Section> sections;
    std::vector<std::string> calls;           // "read Section/key", "write Section/key=value", "flush", "unicode"
    std::optional<std::size_t> failingWrite;  // 0-based number of the write that fails
    char32_t codePageEnd = 0;                 // the code page holds the characters before this one; 0: all
    bool unicode = false, unicodeFails = false;

    const std::string& FilePath() const override { return path; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) override {
        calls.push_back("read " + std::string(section) + "/" + std::string(key));
        const auto* value = Find(section, key);
        return value ? *value : std::string(defaultValue);
    }

    bool WriteString(std::string_view section, std::string_view key, std::string_view value) override {
        calls.push_back("write " + std::string(section) + "/" + std::string(key) + "=" + std::string(value));
        if (failingWrite && *failingWrite == writes_++) return false;
        Set(section, key, Stored(value));
        return true;
    }

    void Flush() override { calls.push_back("flush"); }

    bool Holds(std::string_view text) override { return Stored(text) == text; }

    bool MakeUnicode() override {
        calls.push_back("unicode");
        return unicode = !unicodeFails;
    }

    // Stores a value as the file would hold it, without recording a call.
    void Set(std::string_view section, std::string_view key, std::string_view value) {
        auto s = std::find_if(sections.begin(), sections.end(), [&](const Section& x) { return Same(x.name, section); });
        if (s == sections.end()) s = sections.insert(sections.end(), Section{std::string(section), {}});
        auto k = std::find_if(s->keys.begin(), s->keys.end(), [&](const auto& x) { return Same(x.first, key); });
        if (k == s->keys.end())
            s->keys.emplace_back(std::string(key), std::string(value));
        else
            k->second = std::string(value);
    }

    const std::string* Find(std::string_view section, std::string_view key) const {
        for (const Section& s : sections)
            if (Same(s.name, section))
                for (const auto& [name, value] : s.keys)
                    if (Same(name, key)) return &value;
        return nullptr;
    }

private:
    std::string Stored(std::string_view text) const {
        std::u32string characters = Utf8ToUtf32(text);
        for (char32_t& c : characters)
            if (!unicode && codePageEnd && c >= codePageEnd) c = U'?';
        return Utf32ToUtf8(characters);
    }

    static bool Same(std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
        });
    }

    std::size_t writes_ = 0;
};

}  // namespace vantor::testing
