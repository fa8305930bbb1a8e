#pragma once
// The stored form of the administrator password: a salted PBKDF2-HMAC-SHA256 verifier, kept
// as the text "pbkdf2-sha256$<iterations>$<salt base64>$<hash base64>". The derivation itself
// is the system's (password_store); this file only writes, reads and compares the text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// What a new verifier is made with. The count is part of the stored text, so older verifiers
// with another count are still checked with their own.
inline constexpr std::uint32_t kVerifierIterations = 200000;
inline constexpr std::size_t kVerifierSaltBytes = 16;
inline constexpr std::size_t kVerifierHashBytes = 32;
// A stored count above this is refused: checking it would freeze the desktop.
inline constexpr std::uint32_t kMaxVerifierIterations = 5000000;

struct PasswordVerifier {
    std::uint32_t iterations = 0;
    Bytes salt;
    Bytes hash;
};

std::string FormatVerifier(const PasswordVerifier& verifier);
// Nothing for a text that is not a verifier of ours: another scheme, a count of 0 or above the
// limit, a salt shorter than 8 or longer than 64 bytes, a hash of other than 32 bytes, or bad
// base64.
std::optional<PasswordVerifier> ParseVerifier(std::string_view text);

// RFC 4648 base64 with padding. Decoding refuses anything else (no line breaks, no blanks).
std::string Base64Encode(const Bytes& bytes);
std::optional<Bytes> Base64Decode(std::string_view text);

// Whether a and b hold the same bytes, in a time that depends on their length only.
bool ConstantTimeEqual(const Bytes& a, const Bytes& b);
