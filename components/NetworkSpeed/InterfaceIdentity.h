#pragma once
// What tells one network interface from another across adapter changes and restarts: its GUID, with its
// description as a second key where the GUID is not known or no longer found.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

struct InterfaceIdentity {
    std::string Guid;         // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case; empty: not known
    std::string Description;  // UTF-8

    bool operator==(const InterfaceIdentity&) const = default;
};

// Longest description an interface can have (the system's field holds 256 characters).
inline constexpr std::size_t kMaxDescriptionCharacters = 256;

// `text` in the form above when it is a GUID in that form (any case), nothing otherwise.
std::optional<std::string> CanonicalGuid(std::string_view text);

// The identity that a settings file's two texts spell, or nothing when they spell none: both empty, a
// GUID that is not one, or a description longer than any interface has.
std::optional<InterfaceIdentity> ParseInterfaceIdentity(std::string_view guid, std::string_view description);

}  // namespace vantor
