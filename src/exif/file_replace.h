// Whole-file rewrites that never leave a half-written file behind.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace tavelune::exif {

/// Writes the pieces one after another into a temporary file in the path's folder, then
/// renames it over the path, keeping the old file's permissions. False leaves the old file;
/// a file without write permission, or with more than one hard link, is refused. A symbolic
/// link is followed: the file it names changes.
bool replaceFileContents(const std::string& path,
                         std::initializer_list<std::span<const std::uint8_t>> pieces);

}  // namespace tavelune::exif
