// What every tavelune-cli subcommand shares: option values, messages, terminal progress.
// Layer cli: the headless front end over every core layer; nothing in the core includes it.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/message_sink.h"
#include "job/notices.h"

namespace tavelune::cli {

/// A bad command line; the text names the option. Subcommands print it and exit with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Walks the arguments of a subcommand: options (with "--name value" or "--name=value") and
/// positional arguments, in order.
class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string>& args) : m_args(args) {}

    /// Advances to the next argument; false at the end.
    bool next();
    bool isOption() const { return m_isOption; }
    const std::string& name() const { return m_name; }     // "--exposure"
    const std::string& current() const { return m_current; }  // the whole argument
    /// The option's value (the "=value" part or the following argument).
    std::string value();
    int intValue(int low, int high);
    double doubleValue(double low, double high);
    /// Rejects a value given with "=" to an option that takes none.
    void noValue() const;

private:
    const std::vector<std::string>& m_args;
    size_t m_index = 0;
    bool m_isOption = false;
    bool m_onlyPositional = false;
    bool m_hasInlineValue = false;
    std::string m_current;
    std::string m_name;
    std::string m_inlineValue;
};

/// Takes "--max-pixels N" (or "=N") out of a subcommand's arguments, before any "--", and
/// sets the process's pixel limit from it. Every subcommand reads pictures, so every one
/// accepts it. Throws UsageError for a bad value.
void takeMaxPixelsOption(std::vector<std::string>& args);
inline constexpr const char* kMaxPixelsHelp =
    "  --max-pixels N         refuse pictures and canvases over N pixels (default 268435456)\n";

int parseInt(const std::string& option, const std::string& text, int low, int high);
double parseDouble(const std::string& option, const std::string& text, double low, double high);

/// Prints the engine's messages to stderr as "tavelune-cli: [caption: ]text", followed by the
/// file being worked on when one is set. Installed for the lifetime of the object.
class CliMessages {
public:
    CliMessages();
    ~CliMessages();
    CliMessages(const CliMessages&) = delete;
    CliMessages& operator=(const CliMessages&) = delete;
    void setFile(const std::string& path) { m_file = path; }
    /// Prints a message the core handed back, as the sink prints those it receives.
    void print(const std::string& text, const std::string& caption = {});
    /// Prints each notice as said of its file.
    void show(const Notices& notices);
    int count() const { return m_count; }

private:
    std::string m_file;
    int m_count = 0;
    MessageSink m_previous;
};

bool stderrIsTerminal();

/// The interface language from LANG: "zh_CN", "zh_TW", otherwise "en_US".
std::string languageFromEnvironment();

/// A one-line progress bar on stderr, drawn only when stderr is a terminal.
class TerminalProgress {
public:
    explicit TerminalProgress(std::string label);
    ~TerminalProgress();
    void update(int percent);
    void finish();

private:
    std::string m_label;
    bool m_enabled;
    int m_last = -1;
    bool m_drawn = false;
};

}  // namespace tavelune::cli
