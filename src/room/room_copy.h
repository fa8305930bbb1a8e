#pragma once
// The file work of taking and publishing the room's catalogue: looking at the source, copying it
// from the share within a time limit, replacing icons.bin while keeping the previous one, and
// writing the local catalogue to the share. Runs on the room's worker thread, except the
// replacement, which the desktop's thread does.

#include "room/room_rules.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace room {

// Size and write time of the file at `path`; nullopt when it is missing, unreachable or a folder.
std::optional<SourceStamp> StampOf(const std::string& path);

struct CopyResult {
    bool ok = false;
    std::string digest; // SHA-256 of the bytes copied
    std::string error;  // why it failed, in the system's words
};

// Called after every piece copied with the bytes copied so far (tests take the source away
// there). Empty: nothing is called.
using CopyProgress = std::function<void(std::uint64_t copied)>;

// Copies `source` to `target` (created anew) within `limitMs`, hashing on the way. The copy is
// ok only when it is whole (see CopyIsWhole) and flushed; otherwise `target` is removed.
CopyResult CopySource(const std::string& source, const std::string& target,
                      const SourceStamp& before, unsigned limitMs,
                      const CopyProgress& progress = {});

// The whole file within `limitMs`, or false with the reason.
bool ReadLimited(const std::string& path, unsigned limitMs, std::string& bytes, std::string& error);

// Puts the checked copy in place of `catalogue` in one step, after keeping the catalogue as
// "icons.prev.bin" beside it. On failure the copy is removed and `catalogue` is as it was.
bool ReplaceKeepingPrevious(const std::string& copy, const std::string& catalogue,
                            std::string& error);
std::string PreviousPath(const std::string& catalogue);

struct PublishResult {
    bool published = false;
    bool refused = false; // another PC published since this one took
    std::string digest;   // of the file published
    std::string error;
};
// Writes `catalogue` to `source` (a temporary name beside it, then a rename) when MayPublish
// allows it for the source as it is now.
PublishResult PublishCatalogue(const std::string& catalogue, const std::string& source,
                               const std::string& takenDigest, unsigned limitMs);

std::string SystemReason(unsigned long error);

} // namespace room
