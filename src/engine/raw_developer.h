// Runs the raw developer program (tavelune-raw) on one file and reads its reply.
#pragma once

#include <functional>
#include <string>

#include "engine/raw_reply.h"

namespace tavelune {

/// The program's file name; it is looked for beside the running program (the build tree),
/// then in ../lib/tavelune from it (an installation). TAVELUNE_RAW_DEVELOPER, when set,
/// names it instead.
inline constexpr const char* kRawDeveloperName = "tavelune-raw";

/// The developer to run, or empty when there is none.
std::string rawDeveloperPath();

/// Runs it: request is its first argument ("develop", "half", "working", "preview", "shot"),
/// a and b the numbers that request takes (ignored when both are negative). consume gets
/// the reply while its block is still mapped (its pixels point into it) and gives the result.
/// False, with the reason noted, when the developer is missing, dies (a file that breaks
/// LibRaw is damaged raw data to the user), or answers anything but a whole reply; the
/// reply's own failure is consume's to note.
bool runRawDeveloper(const char* request, const std::string& path, int a, int b,
                     const std::function<bool(const RawReply&)>& consume);

}  // namespace tavelune
