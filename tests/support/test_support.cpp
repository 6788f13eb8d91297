// Test helpers: temporary folders, message collection, file bytes.
#include "support/test_support.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "engine/format_dispatch.h"
#include "overlay/font_face.h"

namespace tavelune::test {
namespace {

// The test programs draw text; nothing else in them uses fontconfig.
[[maybe_unused]] const bool g_fontconfigReleased = (releaseFontconfigAtExit(), true);

// The test programs run from their own folder, where no raw developer sits beside them.
[[maybe_unused]] const bool g_rawDeveloperNamed =
    ::setenv("TAVELUNE_RAW_DEVELOPER", TAVELUNE_RAWDEVELOPER_PATH, 0) == 0;

}  // namespace

TempDir::TempDir()
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto candidate = base / ("tavelune-test-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(counter++) + "-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

MessageCollector::MessageCollector()
{
    m_previous = setMessageSink([this](const std::string& text, const std::string& caption,
                                       MessageIcon icon) {
        m_messages.push_back({text, caption, icon});
    });
}

MessageCollector::~MessageCollector() { setMessageSink(std::move(m_previous)); }

std::vector<std::string> MessageCollector::texts() const
{
    std::vector<std::string> out;
    for (const auto& message : m_messages)
        out.push_back(message.text);
    return out;
}

std::string samplePath(const std::string& name) { return std::string(TAVELUNE_SAMPLES_DIR) + "/" + name; }

std::string fixturePath(const std::string& name)
{
    return std::string(TAVELUNE_FIXTURES_DIR) + "/" + name;
}

std::vector<unsigned char> readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Image solidPicture(int width, int height, std::uint32_t colour, float dpi)
{
    Image picture;
    picture.setFillColour(colour);
    picture.create(width, height, dpi);
    return picture;
}

Image colourRamp(int width, int height)
{
    Image picture;
    picture.create(width, height, 72.0f);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.rowFromTop(y)[x] = 0xFF000000u | std::uint32_t(x * 255 / std::max(1, width - 1)) << 16 |
                                       std::uint32_t(y * 255 / std::max(1, height - 1)) << 8 | 0x60u;
    return picture;
}

Image samplePhoto(int width, int height)
{
    Image photo;
    if (!openImage(samplePath("coffee.jpg"), photo) || !photo.resize(width, height, kBicubic))
        return {};
    return photo;
}

bool writeSamplePhoto(const std::string& path, int width, int height, int quality)
{
    const Image photo = samplePhoto(width, height);
    return !photo.isEmpty() && saveImage(path, photo, ImageFormat::Jpeg, quality);
}

bool haveTool(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string commandOutput(const std::string& command)
{
    std::string out;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

}  // namespace tavelune::test
