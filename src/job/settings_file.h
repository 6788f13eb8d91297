// The conversion settings as text: the four pages and the tag context, shared by every front end.
#pragma once

#include <string>
#include <vector>

#include "engine/image_error.h"
#include "job/conversion_job.h"

namespace tavelune {

/// One problem found while reading settings; line is 0 for a value given on its own.
struct SettingsProblem {
    int line = 0;
    std::string message;
    /// The boxes of a picture that could not be read, which the user meets before the list.
    Warnings<ImageError> boxes;
};

/// Sets one key of a section ("film", "watermark", "signature", "border", "tags") from its
/// text. False with a reason for an unknown section or key or a bad value; the settings are
/// then unchanged. Picture keys read their file at once (the reason says when that fails, and
/// boxes, when given, receive the picture's own).
bool applySetting(ConversionSettings& settings, const std::string& section, const std::string& key,
                  const std::string& value, std::string& reason,
                  Warnings<ImageError>* boxes = nullptr);

/// Reads a settings text ("[section]" headers, "key = value" lines, "#" comments) over the
/// given settings. Every problem is collected with its line; true when there was none.
bool readSettingsText(const std::string& text, ConversionSettings& settings,
                      std::vector<SettingsProblem>& problems);

/// The whole settings as text that readSettingsText reads back to the same settings.
std::string settingsText(const ConversionSettings& settings);

/// File versions of the two above; saving goes through a temporary file.
bool loadSettingsFile(const std::string& path, ConversionSettings& settings,
                      std::vector<SettingsProblem>& problems);
bool saveSettingsFile(const std::string& path, const ConversionSettings& settings,
                      std::string& reason);

}  // namespace tavelune
