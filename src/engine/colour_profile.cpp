// Colour profiles through LittleCMS.
#include "engine/colour_profile.h"

#include <lcms2.h>

#include <algorithm>
#include <iterator>
#include <mutex>
#include <utility>

#include "engine/image.h"
#include "engine/lcms_transforms.h"
#include "engine/matrix_shaper.h"
#include "engine/parallel.h"

namespace tavelune {

const std::vector<std::uint8_t>& srgbProfile()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> out;
        cmsHPROFILE profile = cmsCreate_sRGBProfile();
        if (profile == nullptr)
            return out;
        cmsUInt32Number size = 0;
        if (cmsSaveProfileToMem(profile, nullptr, &size) && size >= 128) {
            out.resize(size);
            if (!cmsSaveProfileToMem(profile, out.data(), &size))
                out.clear();
        }
        // The header's creation date is the clock's; a fixed one keeps written files the same
        // from run to run (the profile ID is left zero, so nothing else depends on it).
        constexpr std::uint8_t kCreated[12] = {0x07, 0xEA, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};
        if (out.size() >= 128)
            std::copy(std::begin(kCreated), std::end(kCreated), out.begin() + 24);
        cmsCloseProfile(profile);
        return out;
    }();
    return bytes;
}

PictureMetadata srgbOnlyMetadata()
{
    PictureMetadata metadata;
    metadata.icc = srgbProfile();
    return metadata;
}

std::string profileDescription(const std::vector<std::uint8_t>& icc)
{
    if (icc.empty())
        return {};
    cmsHPROFILE profile = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    if (profile == nullptr)
        return {};
    std::string text;
    const cmsUInt32Number size =
        cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", nullptr, 0);
    if (size > 1) {
        text.resize(size);
        cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text.data(), size);
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    }
    cmsCloseProfile(profile);
    return text;
}

bool describesOtherThanRgb(const std::vector<std::uint8_t>& icc)
{
    if (icc.empty())
        return false;
    cmsHPROFILE profile = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    if (profile == nullptr)
        return false;
    const bool other = cmsGetColorSpace(profile) != cmsSigRgbData;
    cmsCloseProfile(profile);
    return other;
}

bool isOurSrgbProfile(const std::vector<std::uint8_t>& icc)
{
    return !icc.empty() && icc == srgbProfile();
}

namespace {

// Every level of each channel alone and of grey, and a coarse cube of mixtures: enough to
// tell tables built otherwise from LittleCMS's own.
std::vector<std::uint32_t> probeColours()
{
    std::vector<std::uint32_t> colours;
    for (std::uint32_t level = 0; level < 256; ++level)
        for (std::uint32_t mask : {0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFFFFu})
            colours.push_back(0x80000000u | ((level * 0x010101u) & mask));
    for (std::uint32_t r = 0; r < 256; r += 15)
        for (std::uint32_t g = 0; g < 256; g += 15)
            for (std::uint32_t b = 0; b < 256; b += 15) colours.push_back(0xFF000000u | r << 16 | g << 8 | b);
    return colours;
}

}  // namespace

SrgbConversion::SrgbConversion() = default;

bool SrgbConversion::open(const std::vector<std::uint8_t>& icc)
{
    if (m_transform != nullptr || icc.empty())
        return false;
    m_tables = std::make_unique<MatrixShaper8>();
    m_context = MatrixShaper8::catchingContext(*m_tables);
    // Memory order of 0xAARRGGBB on a little-endian machine; alpha is carried along.
    const std::vector<cmsHTRANSFORM> made =
        transformsIntoSrgb(static_cast<cmsContext>(m_context), icc, cmsSigRgbData,
                           {TYPE_BGRA_8}, TYPE_BGRA_8, cmsFLAGS_COPY_ALPHA);
    if (made.empty()) {
        m_tables.reset();
        return false;
    }
    m_transform = made.front();
    if (m_tables->caught()) {
        std::vector<std::uint32_t> ours = probeColours();
        std::vector<std::uint32_t> theirs = ours;
        m_tables->convert(ours.data(), ours.size());
        convertByLittleCms(theirs.data(), theirs.size());
        if (ours != theirs)
            m_tables->forget();
    }
    if (!m_tables->caught())
        m_tables.reset();
    return true;
}

SrgbConversion::~SrgbConversion()
{
    if (m_transform != nullptr)
        cmsDeleteTransform(static_cast<cmsHTRANSFORM>(m_transform));
    if (m_context != nullptr)
        cmsDeleteContext(static_cast<cmsContext>(m_context));
}

void SrgbConversion::convert(std::uint32_t* pixels, std::size_t count) const
{
    if (m_tables)
        m_tables->convert(pixels, count);
    else
        convertByLittleCms(pixels, count);
}

void SrgbConversion::convertByLittleCms(std::uint32_t* pixels, std::size_t count) const
{
    if (m_transform != nullptr && count > 0)
        cmsDoTransform(static_cast<cmsHTRANSFORM>(m_transform), pixels, pixels,
                       cmsUInt32Number(count));
}

bool SrgbConversion::evaluatesTablesHere() const
{
    return m_tables != nullptr;
}

std::shared_ptr<const SrgbConversion> sharedSrgbConversion(const std::vector<std::uint8_t>& icc)
{
    // Making a transform costs more than converting a working-size picture with it; a photo
    // session shows the same few profiles again and again. A failed profile is remembered too.
    constexpr std::size_t kKept = 4;
    static std::mutex lock;
    static std::vector<std::pair<std::vector<std::uint8_t>, std::shared_ptr<const SrgbConversion>>>
        kept;  // the most recently used last
    const std::lock_guard<std::mutex> hold(lock);
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->first == icc) {
            std::rotate(it, it + 1, kept.end());
            return kept.back().second;
        }
    }
    auto conversion = std::make_shared<SrgbConversion>();
    std::shared_ptr<const SrgbConversion> made;
    if (conversion->open(icc))
        made = std::move(conversion);
    if (kept.size() == kKept)
        kept.erase(kept.begin());
    kept.emplace_back(icc, made);
    return made;
}

bool turnsIntoSrgb(const std::vector<std::uint8_t>& icc)
{
    return icc.empty() || isOurSrgbProfile(icc) || sharedSrgbConversion(icc) != nullptr;
}

bool convertToSrgb(Image& picture, const std::vector<std::uint8_t>& icc)
{
    const std::shared_ptr<const SrgbConversion> conversion = sharedSrgbConversion(icc);
    if (!conversion)
        return false;
    const int width = picture.width();
    forEachRowBand(picture.height(), std::size_t(width) * 8, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) conversion->convert(picture.rowFromTop(y), std::size_t(width));
    });
    return true;
}

}  // namespace tavelune
