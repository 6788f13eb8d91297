// libFuzzer target: the settings file reader, and the promise that what it writes back
// reads again to the same settings.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "job/settings_file.h"
#include "read_check.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    limitFuzzPictures();
    const std::string text(reinterpret_cast<const char*>(data), size);
    tavelune::ConversionSettings settings;
    std::vector<tavelune::SettingsProblem> problems;
    tavelune::readSettingsText(text, settings, problems);
    for (const auto& problem : problems)
        if (problem.line <= 0 || problem.message.empty())
            __builtin_trap();  // every problem is named at its line

    const std::string written = tavelune::settingsText(settings);
    tavelune::ConversionSettings again;
    std::vector<tavelune::SettingsProblem> none;
    if (!tavelune::readSettingsText(written, again, none) ||
        tavelune::settingsText(again) != written)
        __builtin_trap();
    return 0;
}
