// CMYK inks read through the file's own CMYK profile instead of the built-in formula.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavelune {

/// Whether LittleCMS reads icc as a profile of CMYK inks (false for an empty or unreadable one).
bool describesCmyk(const std::vector<std::uint8_t>& icc);

/// Four inks per pixel turned through a CMYK profile into sRGB (perceptual intent, black-point
/// compensation). Made once, used from any thread.
class CmykConversion {
public:
    CmykConversion() = default;
    ~CmykConversion();
    CmykConversion(const CmykConversion&) = delete;
    CmykConversion& operator=(const CmykConversion&) = delete;

    /// False for a profile LittleCMS cannot read or that is not a CMYK one.
    bool open(const std::vector<std::uint8_t>& icc);
    /// inverted: 255 means no ink, as files with an Adobe marker store them. Out is opaque.
    void convert(const std::uint8_t* inks, std::uint32_t* out, std::size_t count,
                 bool inverted) const;

private:
    void* m_plain = nullptr;
    void* m_inverted = nullptr;
};

/// While alive, CMYK JPEG files read on this thread go through conversion instead of the
/// built-in formula. Scopes nest; the innermost holds.
class CmykThroughProfile {
public:
    explicit CmykThroughProfile(const CmykConversion& conversion);
    ~CmykThroughProfile();
    CmykThroughProfile(const CmykThroughProfile&) = delete;
    CmykThroughProfile& operator=(const CmykThroughProfile&) = delete;

    /// Whether a CMYK picture was read through it: its numbers are sRGB now.
    bool used() const { return m_used.load(); }

    /// The innermost scope of this thread, or null.
    static CmykThroughProfile* active();
    void convert(const std::uint8_t* inks, std::uint32_t* out, std::size_t count, bool inverted);

private:
    const CmykConversion& m_conversion;
    CmykThroughProfile* m_outer;
    std::atomic<bool> m_used{false};
};

}  // namespace tavelune
