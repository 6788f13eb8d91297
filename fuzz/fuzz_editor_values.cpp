// libFuzzer target: the EXIF editor's value rules and parsers (typed fields, dates, numbers
// with fractions), then storing the value and reading the stored segment back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/image.h"
#include "engine/jpeg_codec.h"
#include "exif/editor_fields.h"
#include "exif/exif_data.h"
#include "exif/exif_editor_model.h"
#include "exif/field_edit_rule.h"
#include "quiet_messages.h"

using namespace tavelune;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    if (size < 2)
        return 0;
    const auto rows = editorFieldRows();
    const EditorFieldRow& row = rows[data[0] % rows.size()];
    // "before\0after": an edit of the field's text, as a keystroke would make it.
    const std::string both(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = both.find('\0');
    const std::string before = split == std::string::npos ? std::string() : both.substr(0, split);
    const std::string value = split == std::string::npos ? both : both.substr(split + 1);
    acceptsFieldEdit(row.field, before, value);
    // Taking characters away always stands.
    if (!before.empty() && !acceptsFieldEdit(row.field, before, before.substr(1)))
        __builtin_trap();

    PickerTime time;
    readPickerTime(value, time);
    ExifData exif;
    ExifEditorModel editor(exif, {640, 480, 96}, "en_US");
    editor.Load();
    if (row.text != nullptr) {
        if (!acceptsFieldText(row.field, value))
            return 0;
        fieldNumber(row.field, value);
        editor.fields().*row.text = value;
    } else if (row.time != nullptr) {
        if (!readPickerTime(value, time))
            return 0;
        editor.fields().*row.time = time;
    } else if (row.list != nullptr) {
        DropList& list = editor.fields().*row.list;
        if (list.items.empty())
            return 0;
        list.selected = int(data[1] % list.items.size());
    }
    EditorFieldSet fields;
    fields.set(static_cast<std::size_t>(row.field));
    if (!editor.Store(fields))
        return 0;
    // What was stored goes into a JPEG that reads back with it.
    static const std::vector<uint8_t> kJpeg = [] {
        Image picture;
        picture.create(8, 8, 72.0f);
        std::vector<uint8_t> bytes;
        encodeJpegStream(picture, 90, bytes);
        return bytes;
    }();
    std::vector<uint8_t> jpeg = kJpeg;
    if (!exif.SaveExifIntoJpeg(jpeg))
        return 0;
    ExifData copy;
    if (!exif.IsEmpty() &&
        (!copy.LoadExifFromBytes(jpeg.data(), jpeg.size(), ImageFormat::Jpeg) || copy.IsEmpty()))
        __builtin_trap();
    return 0;
}
