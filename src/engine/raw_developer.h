// Runs the raw developer program (tavelune-raw) on one file and reads its reply.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/raw_reply.h"

namespace tavelune {

/// The program's file name; it is looked for beside the running program (the build tree),
/// then in ../lib/tavelune from it (an installation). TAVELUNE_RAW_DEVELOPER, when set,
/// names it instead.
inline constexpr const char* kRawDeveloperName = "tavelune-raw";

/// How long the developer may work on one file before it is killed and the file refused: 60 s
/// plus 1 s per megabyte of the file, far beyond what a sound raw takes on a slow machine, so
/// that only a file on which LibRaw never ends meets it. TAVELUNE_RAW_TIME_LIMIT, when set to a
/// positive number of seconds (fractions allowed), replaces it; the tests use a short one.
std::chrono::milliseconds rawDeveloperTimeLimit(std::uint64_t fileBytes);

/// The developer to run, or empty when there is none.
std::string rawDeveloperPath();

/// Runs it: request is its first argument ("develop", "half", "working", "preview", "shot"),
/// a and b the numbers that request takes (ignored when both are negative). consume gets
/// the reply while its block is still mapped (its pixels point into it) and gives the result.
/// False, with the reason noted, when the developer is missing, dies (a file that breaks
/// LibRaw is damaged raw data to the user), or answers anything but a whole reply; the
/// reply's own failure is consume's to note. A developer still at work after the time limit is
/// killed; that failure names the file and is shown as well as noted, and every later request
/// on the same file (unchanged in size and time) in this process fails so at once.
bool runRawDeveloper(const char* request, const std::string& path, int a, int b,
                     const std::function<bool(const RawReply&)>& consume);

}  // namespace tavelune
