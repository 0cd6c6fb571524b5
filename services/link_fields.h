// The hashes and links the services store and answer, and how they are checked.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace linkmill::services {

inline constexpr std::size_t kBdhdHashLength = 32;
inline constexpr std::size_t kQvodHashLength = 40;
inline constexpr std::size_t kEd2kHashLength = 32;

// True when s is exactly length hexadecimal digits, either case.
bool IsHexDigits(std::string_view s, std::size_t length);

// Hashes are keys in upper case, so a link written in lower case finds the
// same file.
std::string UpperHex(std::string_view s);

// The text between the first two bars of a GBK link, stepping over two-byte
// characters as the link scanner does; nothing when there are fewer than two bars.
std::optional<std::string_view> HashField(std::string_view link);

// Why a GBK bdhd link cannot be answered to a client, or the empty view when it
// can: "bdhd://", decimal size, "|", 32 hexadecimal digits, "|", a file name of
// at least one byte without control bytes or "#" (the client cuts a name at "#").
std::string_view BdhdLinkFault(std::string_view link);

}  // namespace linkmill::services
