// The folders of src/ form layers: a folder includes only itself and lower layers, and only
// src/gui sees Qt. This test keeps that from drifting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Lowest first; folders on one rank may not include each other.
const std::map<std::string, int> kLayerRank = {
    {"pixel", 0},     {"engine", 1},     {"film", 2}, {"exif", 2}, {"view", 2}, {"overlay", 3},
    {"histogram", 4}, {"indexprint", 4}, {"job", 5},  {"cli", 6},  {"gui", 6},
};

struct Violation {
    std::string file;
    std::string include;
};

bool isQtHeader(const std::string& header)
{
    return std::regex_match(header, std::regex(R"((Qt[A-Za-z]*/.*|Q[A-Z][A-Za-z]*(\.h)?))"));
}

std::vector<Violation> findLayerViolations(const fs::path& sourceRoot)
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
        const auto own = kLayerRank.find(folder);
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            std::smatch m;
            if (!std::regex_search(line, m, includeLine)) {
                continue;
            }
            const std::string header = m[2];
            if (m[1] == "<") {
                if (folder != "gui" && isQtHeader(header)) {
                    violations.push_back({relative.string(), header});
                }
                continue;
            }
            const auto slash = header.find('/');
            if (slash == std::string::npos) {
                continue;
            }
            const auto target = kLayerRank.find(header.substr(0, slash));
            if (target == kLayerRank.end() || target->first == folder) {
                continue;
            }
            if (own == kLayerRank.end() || target->second >= own->second) {
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

TEST(Layers, EveryFolderOfTheTreeHasARank)
{
    for (const auto& entry : fs::directory_iterator(TAVELUNE_SOURCE_DIR "/src")) {
        if (entry.is_directory()) {
            EXPECT_TRUE(kLayerRank.count(entry.path().filename().string()))
                << entry.path().filename() << " is not in the layer table";
        }
    }
}

TEST(Layers, CheckReportsSidewaysUpwardAndQtIncludes)
{
    const fs::path root = fs::temp_directory_path() / "tavelune-layers-test";
    fs::remove_all(root);
    struct Case {
        const char* file;
        const char* text;
        bool bad;
    };
    const Case cases[] = {
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
    int expected = 0;
    for (const auto& c : cases) {
        fs::create_directories((root / c.file).parent_path());
        std::ofstream(root / c.file) << c.text;
        expected += c.bad ? 1 : 0;
    }
    const auto violations = findLayerViolations(root);
    EXPECT_EQ(static_cast<int>(violations.size()), expected) << describe(violations);
    for (const auto& c : cases) {
        bool reported = false;
        for (const auto& v : violations) {
            reported = reported || v.file == c.file;
        }
        EXPECT_EQ(reported, c.bad) << c.file;
    }
    fs::remove_all(root);
}

}  // namespace
