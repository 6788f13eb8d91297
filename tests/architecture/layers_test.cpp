// The folders of src/ form layers: a folder includes only itself and lower layers, and only
// src/gui sees Qt. The folders of src/gui form layers of their own, with the main window's app/
// on top. This test keeps both from drifting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <span>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Ranks = std::map<std::string, int>;

// Lowest first; folders on one rank may not include each other.
const Ranks kLayerRank = {
    {"pixel", 0},     {"engine", 1},     {"film", 2}, {"exif", 2}, {"view", 2}, {"overlay", 3},
    {"histogram", 4}, {"indexprint", 4}, {"job", 5},  {"cli", 6},  {"gui", 6},
    {"rawhelper", 6},
};

// Inside src/gui: texts, settings and the job helper, then widgets, then the pages and dialogs
// of one subsystem each, then the setting tabs made of pages, then the dialogs that use those,
// then the main window that only wires them.
const Ranks kGuiLayerRank = {
    {"support", 0}, {"controls", 1},  {"engine", 2},     {"exif", 2},
    {"film", 2},    {"histogram", 2}, {"overlay", 2},    {"view", 2},
    {"tabs", 3},    {"batch", 4},     {"indexprint", 4}, {"app", 5},
};

struct Violation {
    std::string file;
    std::string include;
};

bool isQtHeader(const std::string& header)
{
    return std::regex_match(header, std::regex(R"((Qt[A-Za-z]*/.*|Q[A-Z][A-Za-z]*(\.h)?))"));
}

// Checks the files under sourceRoot, whose folders are ranked by ranks and are included as
// "<prefix><folder>/...". Qt may be included only under gui/ of the top tree (empty prefix).
std::vector<Violation> findLayerViolations(const fs::path& sourceRoot,
                                           const Ranks& ranks = kLayerRank,
                                           const std::string& prefix = "")
{
    static const std::regex includeLine(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Violation> violations;
    for (const auto& entry : fs::recursive_directory_iterator(sourceRoot)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const auto ext = entry.path().extension();
        if (ext != ".h" && ext != ".cpp") {
            continue;
        }
        const fs::path relative = fs::relative(entry.path(), sourceRoot);
        const std::string folder = relative.begin()->string();
        const auto own = ranks.find(folder);
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            std::smatch m;
            if (!std::regex_search(line, m, includeLine)) {
                continue;
            }
            const std::string header = m[2];
            if (m[1] == "<") {
                if (prefix.empty() && folder != "gui" && isQtHeader(header)) {
                    violations.push_back({relative.string(), header});
                }
                continue;
            }
            if (header.compare(0, prefix.size(), prefix) != 0) {
                continue;
            }
            const std::string inside = header.substr(prefix.size());
            const auto slash = inside.find('/');
            if (slash == std::string::npos) {
                continue;
            }
            const auto target = ranks.find(inside.substr(0, slash));
            if (target == ranks.end() || target->first == folder) {
                continue;
            }
            if (own == ranks.end() || target->second >= own->second) {
                violations.push_back({relative.string(), header});
            }
        }
    }
    return violations;
}

std::string describe(const std::vector<Violation>& violations)
{
    std::string text;
    for (const auto& v : violations) {
        text += v.file + " includes " + v.include + "\n";
    }
    return text;
}

TEST(Layers, SourceTreeIncludesOnlyLowerLayersAndQtOnlyInGui)
{
    const auto violations = findLayerViolations(TAVELUNE_SOURCE_DIR "/src");
    EXPECT_TRUE(violations.empty()) << describe(violations);
}

TEST(Layers, GuiFoldersIncludeOnlyLowerGuiFolders)
{
    const auto violations =
        findLayerViolations(TAVELUNE_SOURCE_DIR "/src/gui", kGuiLayerRank, "gui/");
    EXPECT_TRUE(violations.empty()) << describe(violations);
}

// The core hands its boxes back in results; only the front ends reach the message sink.
TEST(Layers, OnlyTheFrontEndsReachTheMessageSink)
{
    const fs::path root = TAVELUNE_SOURCE_DIR "/src";
    std::string reaching;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path relative = fs::relative(entry.path(), root);
        const std::string folder = relative.begin()->string();
        if (!entry.is_regular_file() || folder == "cli" || folder == "gui" ||
            relative.parent_path() / relative.stem() == fs::path("engine/message_sink"))
            continue;
        std::ifstream in(entry.path());
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        if (text.find("engine/message_sink.h") != std::string::npos)
            reaching += relative.string() + "\n";
    }
    EXPECT_TRUE(reaching.empty()) << reaching;
}

TEST(Layers, EveryFolderOfTheTreeHasARank)
{
    const std::pair<const char*, const Ranks*> trees[] = {
        {TAVELUNE_SOURCE_DIR "/src", &kLayerRank},
        {TAVELUNE_SOURCE_DIR "/src/gui", &kGuiLayerRank},
    };
    for (const auto& [tree, ranks] : trees) {
        for (const auto& entry : fs::directory_iterator(tree)) {
            if (entry.is_directory()) {
                EXPECT_TRUE(ranks->count(entry.path().filename().string()))
                    << tree << ": " << entry.path().filename() << " is not in the layer table";
            }
        }
    }
}

struct PlantedFile {
    const char* file;
    const char* text;
    bool bad;
};

// Writes the files into a fresh folder and expects the check to report exactly the bad ones.
template <class Check>
void expectOnlyTheBadReported(const char* folder, std::span<const PlantedFile> files, Check check)
{
    const fs::path root = fs::temp_directory_path() / folder;
    fs::remove_all(root);
    int expected = 0;
    for (const auto& c : files) {
        fs::create_directories((root / c.file).parent_path());
        std::ofstream(root / c.file) << c.text;
        expected += c.bad ? 1 : 0;
    }
    const auto violations = check(root);
    EXPECT_EQ(static_cast<int>(violations.size()), expected) << describe(violations);
    for (const auto& c : files) {
        bool reported = false;
        for (const auto& v : violations) {
            reported = reported || v.file == c.file;
        }
        EXPECT_EQ(reported, c.bad) << c.file;
    }
    fs::remove_all(root);
}

TEST(Layers, CheckReportsSidewaysUpwardAndQtIncludes)
{
    const PlantedFile files[] = {
        {"engine/a.cpp", "#include \"pixel/pixel.h\"\n", false},
        {"engine/b.cpp", "#include \"film/film_step.h\"\n", true},
        {"film/c.cpp", "#include \"exif/exif_data.h\"\n", true},
        {"job/d.cpp", "#include \"overlay/apply_border.h\"\n#include <vector>\n", false},
        {"overlay/e.h", "  #  include \"job/conversion_job.h\"\n", true},
        {"exif/f.cpp", "#include <QImage>\n", true},
        {"view/g.cpp", "#include <QtGui/QImage>\n", true},
        {"gui/h.cpp", "#include <QWidget>\n#include \"job/conversion_job.h\"\n", false},
        {"cli/i.cpp", "#include \"gui/main_window.h\"\n", true},
    };
    expectOnlyTheBadReported("tavelune-layers-test", files,
                             [](const fs::path& root) { return findLayerViolations(root); });
}

TEST(Layers, GuiCheckReportsSidewaysAndUpwardIncludesOnly)
{
    const PlantedFile files[] = {
        {"app/a.cpp", "#include \"gui/batch/batch_dialog.h\"\n#include \"job/x.h\"\n", false},
        {"film/b.cpp", "#include \"gui/support/string_table.h\"\n#include <QWidget>\n", false},
        {"controls/c.cpp", "#include \"gui/app/string_table.h\"\n", true},
        {"film/d.cpp", "#include \"gui/overlay/overlay_page.h\"\n", true},
        {"support/e.h", "#include \"gui/controls/icons.h\"\n", true},
        {"batch/f.cpp", "#include \"gui/view/image_view.h\"\n#include \"gui/batch/g.h\"\n", false},
        {"indexprint/g.cpp", "#include \"gui/batch/batch_runner.h\"\n", true},
        {"newfolder/h.cpp", "#include \"gui/support/app_settings.h\"\n", true},
        {"tabs/i.cpp", "#include \"gui/film/film_page.h\"\n", false},
        {"overlay/j.cpp", "#include \"gui/tabs/setting_tabs.h\"\n", true},
    };
    expectOnlyTheBadReported("tavelune-gui-layers-test", files, [](const fs::path& root) {
        return findLayerViolations(root, kGuiLayerRank, "gui/");
    });
}

}  // namespace
