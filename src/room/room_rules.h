#pragma once
// The rules by which a PC of a room takes the room's catalogue from a file share and publishes
// its own there: when the shared file is copied, what becomes of a copy, what is recorded in the
// settings and when publishing is allowed. Digests and check findings are passed in; the share,
// the files and the clock belong to the Win32 side.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace room {

inline constexpr const char* kSourceSetting = "cataloguesource";
inline constexpr const char* kMinutesSetting = "sourceminutes";
inline constexpr const char* kTakenSetting = "cataloguetaken";
inline constexpr const char* kRefusedSetting = "cataloguerefused";
inline constexpr int kDefaultMinutes = 5;
inline constexpr unsigned kCopyLimitMs = 30000; // one copy from the share, at most
inline constexpr unsigned kStartWaitMs = 3000;  // what start-up waits for the first pass
inline constexpr const char* kPublishRefused =
    "The shared catalogue changed since this PC took it. Leave admin mode to take it, then edit "
    "again.";

// What the share tells of the source without reading it.
struct SourceStamp {
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0; // the file system's own units
    bool operator==(const SourceStamp&) const = default;
};

// A pass copies the source only when it differs from the last one copied (taken, refused or
// found equal to the catalogue taken), or when the operator asks for it.
bool ShouldCopy(const SourceStamp& now, const std::optional<SourceStamp>& lastCopied, bool forced);

// A copy is whole when it holds as many bytes as the source had when the copy began, and the
// source still has that size and write time once it is done.
bool CopyIsWhole(const SourceStamp& before, std::uint64_t bytesCopied,
                 const std::optional<SourceStamp>& after);

enum class CopyVerdict {
    Take,      // checked and new: it replaces icons.bin
    Unchanged, // the catalogue this PC took last: nothing to do
    Refuse,    // `check` found problems at this PC's screen size
};
CopyVerdict JudgeCopy(const std::string& copyDigest, const std::string& takenDigest,
                      const std::vector<std::string>& problems);

// The first problem, and how many more there are.
std::string RefusalReason(const std::vector<std::string>& problems);

// Local time as the records show it.
struct Moment {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::string FormatMoment(const Moment& m); // "2024-05-17 08:30:05"

// cataloguetaken: "2024-05-17 08:30:05 SHA-256 <64 hex digits> from <source>".
std::string TakenRecord(const Moment& when, const std::string& digest, const std::string& source);
// The digest a cataloguetaken value records; empty when it records none.
std::string DigestOfTaken(const std::string& record);
// cataloguerefused: "2024-05-17 08:30:05 <source> refused: <reason>".
std::string RefusedRecord(const Moment& when, const std::string& source, const std::string& reason);

// The two lines the about box shows in admin mode.
std::vector<std::string> AboutLines(const std::string& taken, const std::string& refused);

// Publishing is allowed when the shared file is still the one this PC took last, or when there
// is none yet; otherwise another PC published in between. `sourceDigest`: nullopt when the
// source does not exist.
bool MayPublish(const std::optional<std::string>& sourceDigest, const std::string& takenDigest);

// The pause between two passes for `minutes` as stored: at least one minute, at most a day.
unsigned PassIntervalMs(int minutes);

std::string HexDigest(const unsigned char* digest, std::size_t size);

} // namespace room
