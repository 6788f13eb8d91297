// What an operation that can fail hands back: its value, or a code and a detail.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavelune {

/// Why an operation failed, or one box it met on its way: a code from the subsystem's own
/// enum and a detail (the path, the library's own text) that may be empty.
template <class Code>
struct Failure {
    Code code{};
    std::string detail;
};

template <class Code>
Failure<Code> failure(Code code, std::string detail = {})
{
    return {code, std::move(detail)};
}

/// The boxes an operation met before it ended, in the order met; the front end shows them at
/// the point the operation reached them.
template <class Code>
using Warnings = std::vector<Failure<Code>>;

/// The failure and warnings both forms of Result carry.
template <class Code>
class Outcome {
public:
    /// Meaningful only when the operation failed.
    Code code() const { return m_failure.code; }
    const std::string& detail() const { return m_failure.detail; }
    const Failure<Code>& failure() const { return m_failure; }

    const Warnings<Code>& warnings() const { return m_warnings; }
    void setWarnings(Warnings<Code> warnings) { m_warnings = std::move(warnings); }
    void addWarning(Code code, std::string detail = {})
    {
        m_warnings.push_back({code, std::move(detail)});
    }

protected:
    Outcome() = default;
    explicit Outcome(Failure<Code> failed) : m_failure(std::move(failed)) {}

private:
    Failure<Code> m_failure;
    Warnings<Code> m_warnings;
};

/// A value, or the failure that prevented it, and in both cases the warnings met on the way.
/// Converting to bool asks "did it work".
template <class T, class Code>
class [[nodiscard]] Result : public Outcome<Code> {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure<Code> failed) : Outcome<Code>(std::move(failed)) {}
    Result(Code code, std::string detail = {}) : Outcome<Code>({code, std::move(detail)}) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    T& value() & { return *m_value; }
    const T& value() const& { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    T& operator*() & { return *m_value; }
    const T& operator*() const& { return *m_value; }

    /// As std::optional compares: a failure equals no value.
    friend bool operator==(const Result& result, const T& value)
    {
        return result.ok() && *result.m_value == value;
    }

private:
    std::optional<T> m_value;
};

/// Success without a value.
template <class Code>
class [[nodiscard]] Result<void, Code> : public Outcome<Code> {
public:
    Result() = default;
    Result(Failure<Code> failed) : Outcome<Code>(std::move(failed)), m_failed(true) {}
    Result(Code code, std::string detail = {})
        : Outcome<Code>({code, std::move(detail)}), m_failed(true)
    {
    }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }

private:
    bool m_failed = false;
};

template <class Code>
using Status = Result<void, Code>;

/// A result without its value: whether it worked, and the boxes met on the way.
template <class T, class Code>
Status<Code> statusOf(const Result<T, Code>& result)
{
    Status<Code> status = result ? Status<Code>() : Status<Code>(result.failure());
    status.setWarnings(result.warnings());
    return status;
}

}  // namespace tavelune
