// XMP edits through Exempi: the packet is parsed and written by the library, never by hand.
#include "engine/xmp_update.h"

#include <exempi/xmp.h>
#include <exempi/xmpconsts.h>

#include <nettle/md5.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

namespace tavelune {
namespace {

constexpr const char* kXmpNote = "http://ns.adobe.com/xmp/note/";

bool ready()
{
    static const bool initialised = [] { return xmp_init(); }();
    return initialised;
}

struct XmpFree {
    void operator()(_Xmp* xmp) const { xmp_free(xmp); }
};
using Packet = std::unique_ptr<_Xmp, XmpFree>;

struct StringFree {
    void operator()(_XmpString* text) const { xmp_string_free(text); }
};
using Text = std::unique_ptr<_XmpString, StringFree>;

Packet parse(const std::string& packet)
{
    if (packet.empty() || !ready())
        return nullptr;
    return Packet(xmp_new(packet.data(), packet.size()));
}

// Serialised with the usual padding when it fits, else compact and unpadded; out holds the
// last try even when it does not fit.
bool serialise(_Xmp* xmp, std::size_t limit, std::string& out)
{
    Text text(xmp_string_new());
    out.clear();
    for (const auto& [options, padding] :
         {std::pair{0u, 2048u}, std::pair{unsigned(XMP_SERIAL_USECOMPACTFORMAT), 0u}}) {
        if (!xmp_serialize(xmp, text.get(), options, padding))
            return false;
        out = xmp_string_cstr(text.get());
        if (limit == 0 || out.size() <= limit)
            return true;
    }
    return false;
}

using Walk = std::unique_ptr<_XmpIterator, bool (*)(_XmpIterator*)>;

// Copies the properties under (schema, name) of source into target, or all with nulls.
// Parents come before their children, so arrays and structures exist before their items.
bool copyProperties(_Xmp* source, _Xmp* target, const char* schemaFilter, const char* nameFilter)
{
    Walk walk(xmp_iterator_new(source, schemaFilter, nameFilter, XMP_ITER_PROPERTIES),
              xmp_iterator_free);
    if (!walk)
        return false;
    Text schema(xmp_string_new()), path(xmp_string_new()), value(xmp_string_new());
    uint32_t options = 0;
    constexpr uint32_t kKept = XMP_PROP_VALUE_IS_URI | XMP_PROP_COMPOSITE_MASK;
    while (xmp_iterator_next(walk.get(), schema.get(), path.get(), value.get(), &options)) {
        const char* name = xmp_string_cstr(path.get());
        if (name == nullptr || *name == '\0')
            continue;  // a schema node
        // Exempi takes an empty value with composite options as "no value".
        const bool composite = (options & XMP_PROP_COMPOSITE_MASK) != 0;
        xmp_set_property(target, xmp_string_cstr(schema.get()), name,
                         composite ? "" : xmp_string_cstr(value.get()), options & kKept);
    }
    return true;
}

std::string md5Hex(const std::string& text)
{
    md5_ctx context;
    md5_init(&context);
    md5_update(&context, text.size(), reinterpret_cast<const std::uint8_t*>(text.data()));
    std::uint8_t digest[MD5_DIGEST_SIZE];
    md5_digest(&context, sizeof digest, digest);
    std::string hex;
    char pair[3];
    for (std::uint8_t byte : digest) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        hex += pair;
    }
    return hex;
}

void setWherePresent(_Xmp* xmp, const char* schema, const char* name, const std::string& value)
{
    if (xmp_has_property(xmp, schema, name))
        xmp_set_property(xmp, schema, name, value.c_str(), 0);
}

}  // namespace

std::string updateXmp(const std::string& packet, const XmpChanges& changes, std::size_t limit)
{
    Packet xmp = parse(packet);
    if (!xmp)
        return packet;
    if (changes.upright)
        setWherePresent(xmp.get(), NS_TIFF, "Orientation", "1");
    if (changes.width > 0 && changes.height > 0) {
        const std::string width = std::to_string(changes.width);
        const std::string height = std::to_string(changes.height);
        setWherePresent(xmp.get(), NS_EXIF, "PixelXDimension", width);
        setWherePresent(xmp.get(), NS_EXIF, "PixelYDimension", height);
        setWherePresent(xmp.get(), NS_TIFF, "ImageWidth", width);
        setWherePresent(xmp.get(), NS_TIFF, "ImageLength", height);
    }
    if (!changes.now.empty()) {
        xmp_set_property(xmp.get(), NS_XAP, "ModifyDate", changes.now.c_str(), 0);
        xmp_set_property(xmp.get(), NS_XAP, "MetadataDate", changes.now.c_str(), 0);
    }
    if (!changes.creatorTool.empty())
        xmp_set_property(xmp.get(), NS_XAP, "CreatorTool", changes.creatorTool.c_str(), 0);
    std::string out;
    serialise(xmp.get(), limit, out);  // too large for limit: the caller splits it
    return out.empty() ? packet : out;
}

std::string mergeExtendedXmp(const std::string& main, const std::string& extended)
{
    Packet target = parse(main);
    Packet source = parse(extended);
    if (!target || !source)
        return main;
    if (!copyProperties(source.get(), target.get(), nullptr, nullptr))
        return main;
    xmp_delete_property(target.get(), kXmpNote, "HasExtendedXMP");
    std::string out;
    return serialise(target.get(), 0, out) ? out : main;
}

SplitXmp splitXmpForJpeg(const std::string& packet, std::size_t limit)
{
    SplitXmp split;
    Packet whole = parse(packet);
    if (!whole)
        return split;
    // The size of each top-level property: the values under it.
    std::map<std::pair<std::string, std::string>, std::size_t> sizes;
    {
        Walk walk(xmp_iterator_new(whole.get(), nullptr, nullptr, XMP_ITER_PROPERTIES),
                  xmp_iterator_free);
        Text schema(xmp_string_new()), path(xmp_string_new()), value(xmp_string_new());
        uint32_t options = 0;
        while (walk && xmp_iterator_next(walk.get(), schema.get(), path.get(), value.get(), &options)) {
            const std::string name = xmp_string_cstr(path.get());
            if (name.empty())
                continue;
            const std::string top = name.substr(0, name.find_first_of("/["));
            sizes[{xmp_string_cstr(schema.get()), top}] += name.size() + std::strlen(xmp_string_cstr(value.get()));
        }
    }
    std::vector<std::pair<std::size_t, std::pair<std::string, std::string>>> largest;
    for (const auto& [property, size] : sizes) largest.push_back({size, property});
    std::sort(largest.begin(), largest.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

    Packet main(xmp_copy(whole.get()));
    Packet extended(xmp_new_empty());
    if (!main || !extended)
        return split;
    const std::string placeholder(32, '0');
    xmp_set_property(main.get(), kXmpNote, "HasExtendedXMP", placeholder.c_str(), 0);
    std::string serialised;
    for (const auto& [size, property] : largest) {
        if (serialise(main.get(), limit, serialised))
            break;
        const auto& [schema, name] = property;
        if (schema == kXmpNote && name == "xmpNote:HasExtendedXMP")
            continue;
        copyProperties(whole.get(), extended.get(), schema.c_str(), name.c_str());
        xmp_delete_property(main.get(), schema.c_str(), name.c_str());
    }
    Text text(xmp_string_new());
    if (!xmp_serialize(extended.get(), text.get(),
                       XMP_SERIAL_OMITPACKETWRAPPER | XMP_SERIAL_USECOMPACTFORMAT, 0))
        return split;
    split.extended = xmp_string_cstr(text.get());
    split.guid = md5Hex(split.extended);
    xmp_set_property(main.get(), kXmpNote, "HasExtendedXMP", split.guid.c_str(), 0);
    if (!serialise(main.get(), limit, split.main))
        split = {};
    return split;
}

std::string xmpNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S+00:00", &utc);
    return text;
}

}  // namespace tavelune
