#pragma once
// One program of the catalogue: a fixed 9520-byte record, identical in memory and in icons.bin.

#include <cstddef>
#include <cstdint>

struct ProgramEntry {
    std::int32_t column;    // grid column on its tab, 0-based
    std::int32_t row;       // grid row on its tab, 0-based
    std::int32_t iconIndex; // index of the icon inside iconFile
    char caption[500];      // may contain line breaks
    char description[5000]; // RTF
    char screenshotPath[1000];
    char programPath[1000];
    char parameters[1000];
    char iconFile[1000];
    std::int32_t showCommand; // 1 normal, 3 maximised, 6 minimised
    std::int32_t tab;         // index into Icons::m_tabs
};

static_assert(sizeof(ProgramEntry) == 9520, "ProgramEntry must match the icons.bin record");
static_assert(offsetof(ProgramEntry, caption) == 12);
static_assert(offsetof(ProgramEntry, description) == 512);
static_assert(offsetof(ProgramEntry, screenshotPath) == 5512);
static_assert(offsetof(ProgramEntry, programPath) == 6512);
static_assert(offsetof(ProgramEntry, parameters) == 7512);
static_assert(offsetof(ProgramEntry, iconFile) == 8512);
static_assert(offsetof(ProgramEntry, showCommand) == 9512);
static_assert(offsetof(ProgramEntry, tab) == 9516);

inline constexpr std::int32_t kShowNormal = 1;
inline constexpr std::int32_t kShowMaximized = 3;
inline constexpr std::int32_t kShowMinimized = 6;
