#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The exam database container: a 4096-byte header followed by a plain SQLite
// image. Bytes 0-15 hold a magic text, bytes 66-105 the verifier of the
// password the file was made with (or, at rest, any 40 bytes that fail it).
namespace examdb {

constexpr std::size_t kHeaderSize = 4096;
constexpr std::size_t kMagicSize = 16;
constexpr std::uint64_t kVerifierOffset = 66;
constexpr std::size_t kVerifierSize = 40;

using Block = std::array<std::uint8_t, kVerifierSize>;

const std::array<char, kMagicSize>& Magic();

// The 40 bytes the engine writes at offset 66 when it makes a bank with this password.
Block PasswordVerifier(std::string_view password);

enum class HeaderState { Missing, NotContainer, Open, Closed };

// What the header of `path` says about opening it with `password`.
HeaderState ReadHeaderState(const std::string& path, std::string_view password);

// Wraps the plain SQLite file `image` into a new container at `target`, with
// `block` at offset 66. The target is written beside and renamed into place,
// so a half-made bank never appears under its name.
void WriteContainer(const std::string& image, const std::string& target, const Block& block);

// Writes the plain SQLite image of the container `source` to `imagePath`.
void ExtractImage(const std::string& source, const std::string& imagePath);

} // namespace examdb
