// Shared command-line plumbing for the subcommands.
#include "cli/cli_support.h"

#include <cerrno>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "engine/codec_support.h"

namespace tavelune::cli {

bool ArgumentReader::next()
{
    if (m_index >= m_args.size())
        return false;
    m_current = m_args[m_index++];
    m_isOption = false;
    m_hasInlineValue = false;
    m_name.clear();
    m_inlineValue.clear();
    if (!m_onlyPositional && m_current == "--") {
        m_onlyPositional = true;
        return next();
    }
    if (!m_onlyPositional && m_current.size() > 1 && m_current[0] == '-') {
        m_isOption = true;
        auto equals = m_current.find('=');
        m_name = m_current.substr(0, equals);
        if (equals != std::string::npos) {
            m_hasInlineValue = true;
            m_inlineValue = m_current.substr(equals + 1);
        }
    }
    return true;
}

std::string ArgumentReader::value()
{
    if (m_hasInlineValue)
        return m_inlineValue;
    if (m_index >= m_args.size())
        throw UsageError("option " + m_name + " needs a value");
    return m_args[m_index++];
}

int ArgumentReader::intValue(int low, int high) { return parseInt(m_name, value(), low, high); }

double ArgumentReader::doubleValue(double low, double high)
{
    return parseDouble(m_name, value(), low, high);
}

void ArgumentReader::noValue() const
{
    if (m_hasInlineValue)
        throw UsageError("option " + m_name + " takes no value");
}

int parseInt(const std::string& option, const std::string& text, int low, int high)
{
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high)
        throw UsageError(option + " must be an integer from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + text + "'");
    return int(value);
}

double parseDouble(const std::string& option, const std::string& text, double low, double high)
{
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(value) || value < low ||
        value > high) {
        char range[64];
        std::snprintf(range, sizeof range, "%g to %g", low, high);
        throw UsageError(option + " must be a number from " + range + ", not '" + text + "'");
    }
    return value;
}

void takeMaxPixelsOption(std::vector<std::string>& args)
{
    static const std::string kName = "--max-pixels";
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--")
            return;
        std::string value;
        size_t taken = 1;
        if (args[i] == kName) {
            if (i + 1 >= args.size())
                throw UsageError(kName + " needs a value");
            value = args[i + 1];
            taken = 2;
        } else if (args[i].compare(0, kName.size() + 1, kName + "=") == 0) {
            value = args[i].substr(kName.size() + 1);
        } else {
            continue;
        }
        errno = 0;
        char* end = nullptr;
        const unsigned long long limit = std::strtoull(value.c_str(), &end, 10);
        if (value.empty() || value[0] == '-' || *end != '\0' || errno != 0 || limit == 0 ||
            limit > kHighestMaxPixels)
            throw UsageError(kName + " must be a whole number from 1 to " +
                             std::to_string(kHighestMaxPixels) + ", not '" + value + "'");
        setMaxPicturePixels(limit);
        args.erase(args.begin() + long(i), args.begin() + long(i + taken));
        --i;
    }
}

CliMessages::CliMessages()
{
    m_previous = setMessageSink(
        [this](const std::string& text, const std::string& caption, MessageIcon) {
            print(text, caption);
        });
}

void CliMessages::print(const std::string& text, const std::string& caption)
{
    ++m_count;
    std::string line = "tavelune-cli: ";
    if (!caption.empty())
        line += caption + ": ";
    line += text;
    while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    if (!m_file.empty())
        line += " (" + m_file + ")";
    if (stderrIsTerminal())
        std::fputs("\r\033[K", stderr);
    std::fprintf(stderr, "%s\n", line.c_str());
}

void CliMessages::show(const Notices& notices)
{
    for (const Notice& notice : notices) {
        m_file = notice.file;
        const NoticeBox box = noticeBox(notice);
        print(box.text, box.caption);
    }
}

CliMessages::~CliMessages() { setMessageSink(std::move(m_previous)); }

std::string languageFromEnvironment()
{
    const char* lang = std::getenv("LANG");
    if (lang != nullptr && std::strncmp(lang, "zh_CN", 5) == 0)
        return "zh_CN";
    if (lang != nullptr && std::strncmp(lang, "zh_TW", 5) == 0)
        return "zh_TW";
    return "en_US";
}

bool stderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

TerminalProgress::TerminalProgress(std::string label)
    : m_label(std::move(label)), m_enabled(stderrIsTerminal())
{
}

TerminalProgress::~TerminalProgress() { finish(); }

void TerminalProgress::update(int percent)
{
    if (!m_enabled || percent == m_last)
        return;
    m_last = percent;
    constexpr int kWidth = 30;
    int filled = std::max(0, std::min(kWidth, percent * kWidth / 100));
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", m_label.c_str(), std::string(size_t(filled), '#').c_str(),
                 std::string(size_t(kWidth - filled), ' ').c_str(), percent);
    std::fflush(stderr);
    m_drawn = true;
}

void TerminalProgress::finish()
{
    if (m_drawn) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        m_drawn = false;
    }
}

}  // namespace tavelune::cli
