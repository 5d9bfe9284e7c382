#include "components/NetworkSpeed/InterfaceIdentity.h"

#include <cctype>

namespace vantor {
namespace {

std::size_t Utf8Characters(std::string_view text) {
    std::size_t characters = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    return characters;
}

}  // namespace

std::optional<std::string> CanonicalGuid(std::string_view text) {
    constexpr std::string_view kShape = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (text.size() != kShape.size()) return std::nullopt;
    std::string guid(text);
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const auto c = static_cast<unsigned char>(guid[i]);
        if (kShape[i] == 'x' ? !std::isxdigit(c) : c != static_cast<unsigned char>(kShape[i])) return std::nullopt;
        guid[i] = static_cast<char>(std::toupper(c));
    }
    return guid;
}

std::optional<InterfaceIdentity> ParseInterfaceIdentity(std::string_view guid, std::string_view description) {
    if (guid.empty() && description.empty()) return std::nullopt;
    if (Utf8Characters(description) > kMaxDescriptionCharacters) return std::nullopt;
    if (guid.empty()) return InterfaceIdentity{{}, std::string(description)};
    const std::optional<std::string> canonical = CanonicalGuid(guid);
    if (!canonical) return std::nullopt;
    return InterfaceIdentity{*canonical, std::string(description)};
}

}  // namespace vantor
