#include "app/password_verifier.h"

#include <charconv>

namespace {

constexpr std::string_view kScheme = "pbkdf2-sha256";
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// The next '$'-separated field of `text`, removed from it; nothing when no '$' follows.
std::optional<std::string_view> TakeField(std::string_view& text) {
    const std::size_t end = text.find('$');
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view field = text.substr(0, end);
    text.remove_prefix(end + 1);
    return field;
}

} // namespace

std::string Base64Encode(const Bytes& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        const std::uint32_t group = (std::uint32_t{bytes[i]} << 16) |
                                    (left > 1 ? std::uint32_t{bytes[i + 1]} << 8 : 0) |
                                    (left > 2 ? std::uint32_t{bytes[i + 2]} : 0);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        out += left > 2 ? kAlphabet[group & 63] : '=';
    }
    return out;
}

std::optional<Bytes> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        if (padding == 1 && text[i + 2] == '=')
            return std::nullopt; // "x=y=" and the like
        std::uint32_t group = 0;
        for (int k = 0; k < 4 - padding; ++k) {
            const int sextet = SextetOf(text[i + k]);
            if (sextet < 0)
                return std::nullopt;
            group = (group << 6) | static_cast<std::uint32_t>(sextet);
        }
        group <<= 6 * padding;
        // Bits that padding drops must be zero, so every byte string has exactly one text.
        if ((padding == 1 && (group & 0xFF)) || (padding == 2 && (group & 0xFFFF)))
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(group >> 16));
        if (padding < 2)
            out.push_back(static_cast<std::uint8_t>(group >> 8));
        if (padding < 1)
            out.push_back(static_cast<std::uint8_t>(group));
    }
    return out;
}

std::string FormatVerifier(const PasswordVerifier& verifier) {
    return std::string(kScheme) + "$" + std::to_string(verifier.iterations) + "$" +
           Base64Encode(verifier.salt) + "$" + Base64Encode(verifier.hash);
}

std::optional<PasswordVerifier> ParseVerifier(std::string_view text) {
    const auto scheme = TakeField(text);
    const auto count = TakeField(text);
    const auto salt = TakeField(text);
    if (!scheme || *scheme != kScheme || !count || !salt || count->empty() ||
        text.find('$') != std::string_view::npos)
        return std::nullopt;
    PasswordVerifier verifier;
    const char* countEnd = count->data() + count->size();
    const auto [end, error] = std::from_chars(count->data(), countEnd, verifier.iterations);
    if (error != std::errc() || end != countEnd || verifier.iterations == 0 ||
        verifier.iterations > kMaxVerifierIterations)
        return std::nullopt;
    auto saltBytes = Base64Decode(*salt);
    auto hashBytes = Base64Decode(text);
    if (!saltBytes || saltBytes->size() < 8 || saltBytes->size() > 64 || !hashBytes ||
        hashBytes->size() != kVerifierHashBytes)
        return std::nullopt;
    verifier.salt = std::move(*saltBytes);
    verifier.hash = std::move(*hashBytes);
    return verifier;
}

bool ConstantTimeEqual(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size())
        return false; // the length of a verifier is no secret
    std::uint8_t difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<std::uint8_t>(a[i] ^ b[i]);
    return difference == 0;
}
