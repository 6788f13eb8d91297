// Helpers shared by the test programs: temporary folders, a collecting message sink, files
// and shell commands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/image.h"
#include "engine/message_sink.h"

namespace tavelune::test {

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

struct CollectedMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
};

/// Installs itself as the message sink for its lifetime and keeps what arrives.
class MessageCollector {
public:
    MessageCollector();
    ~MessageCollector();
    MessageCollector(const MessageCollector&) = delete;
    MessageCollector& operator=(const MessageCollector&) = delete;
    const std::vector<CollectedMessage>& messages() const { return m_messages; }
    std::vector<std::string> texts() const;
    void clear() { m_messages.clear(); }

private:
    std::vector<CollectedMessage> m_messages;
    MessageSink m_previous;
};

inline bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string samplePath(const std::string& name);
std::string fixturePath(const std::string& name);
std::vector<unsigned char> readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

/// A width x height picture of one colour.
Image solidPicture(int width, int height, std::uint32_t colour, float dpi = 72.0f);

/// A width x height picture whose red rises to the right and green downwards, blue fixed.
Image colourRamp(int width, int height);

/// The sample photograph (coffee.jpg) resized to width x height, bicubic; empty when it
/// cannot be made.
Image samplePhoto(int width, int height);
/// samplePhoto written as a JPEG of that quality; false when it could not be.
bool writeSamplePhoto(const std::string& path, int width, int height, int quality);

/// Whether a program can be run from the shell.
bool haveTool(const std::string& name);
/// Standard output of a shell command.
std::string commandOutput(const std::string& command);

}  // namespace tavelune::test
