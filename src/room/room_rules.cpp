#include "room/room_rules.h"

#include <cstdio>

namespace room {

namespace {

constexpr const char* kDigestMark = " SHA-256 ";
constexpr std::size_t kDigestHexLength = 64;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

} // namespace

bool ShouldCopy(const SourceStamp& now, const std::optional<SourceStamp>& lastCopied, bool forced) {
    return forced || !lastCopied || *lastCopied != now;
}

bool CopyIsWhole(const SourceStamp& before, std::uint64_t bytesCopied,
                 const std::optional<SourceStamp>& after) {
    return bytesCopied == before.size && after && *after == before;
}

CopyVerdict JudgeCopy(const std::string& copyDigest, const std::string& takenDigest,
                      const std::vector<std::string>& problems) {
    if (!takenDigest.empty() && copyDigest == takenDigest)
        return CopyVerdict::Unchanged;
    return problems.empty() ? CopyVerdict::Take : CopyVerdict::Refuse;
}

std::string RefusalReason(const std::vector<std::string>& problems) {
    if (problems.empty())
        return {};
    std::string reason = problems.front();
    const std::size_t more = problems.size() - 1;
    if (more > 0)
        reason +=
            " (and " + std::to_string(more) + (more == 1 ? " more problem)" : " more problems)");
    return reason;
}

std::string FormatMoment(const Moment& m) {
    char text[32];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d", m.year, m.month, m.day,
                  m.hour, m.minute, m.second);
    return text;
}

std::string TakenRecord(const Moment& when, const std::string& digest, const std::string& source) {
    return FormatMoment(when) + kDigestMark + digest + " from " + source;
}

std::string DigestOfTaken(const std::string& record) {
    const std::size_t mark = record.find(kDigestMark);
    if (mark == std::string::npos)
        return {};
    const std::size_t start = mark + std::char_traits<char>::length(kDigestMark);
    if (record.size() < start + kDigestHexLength)
        return {};
    const std::string digest = record.substr(start, kDigestHexLength);
    for (char c : digest)
        if (!IsHexDigit(c))
            return {};
    if (record.size() > start + kDigestHexLength && record[start + kDigestHexLength] != ' ')
        return {};
    return digest;
}

std::string RefusedRecord(const Moment& when, const std::string& source,
                          const std::string& reason) {
    return FormatMoment(when) + " " + source + " refused: " + reason;
}

std::vector<std::string> AboutLines(const std::string& taken, const std::string& refused) {
    return {"Catalogue taken: " + (taken.empty() ? std::string("never") : taken),
            "Catalogue refused: " + (refused.empty() ? std::string("never") : refused)};
}

bool MayPublish(const std::optional<std::string>& sourceDigest, const std::string& takenDigest) {
    return !sourceDigest || (!takenDigest.empty() && *sourceDigest == takenDigest);
}

unsigned PassIntervalMs(int minutes) {
    if (minutes < 1)
        minutes = 1;
    if (minutes > 24 * 60)
        minutes = 24 * 60;
    return static_cast<unsigned>(minutes) * 60000u;
}

std::string HexDigest(const unsigned char* digest, std::size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 15];
    }
    return hex;
}

} // namespace room
