// `tavelune-cli tags`: every information tag, what it stands for and its value for a picture.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/shown_boxes.h"
#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "exif/exif_data.h"
#include "overlay/info_tags.h"

namespace tavelune::cli {
namespace {

void printHelp()
{
    std::printf("Usage: tavelune-cli tags [--lang CODE] [--user-name TEXT] [FILE]\n\n"
                "Lists the information tags that watermark and signature texts may hold, in the\n"
                "order of the desktop program's insert menu, with their menu texts. With FILE,\n"
                "also what each tag expands to for that picture. A text is expanded once: values\n"
                "are not searched for tags again, and a text longer than 64 KB after expansion\n"
                "is cut there with a warning.\n\n"
                "  --lang CODE       zh_CN, zh_TW or en_US (default: from LANG)\n"
                "  --user-name TEXT  the value of <UserName/>\n");
}

void listEntries(const std::vector<TagMenuEntry>& entries, const Image* image,
                 const ExifData* exif, const TagContext& context)
{
    for (const TagMenuEntry& entry : entries) {
        if (entry.kind == TagMenuEntry::Kind::SubMenu) {
            listEntries(entry.children, image, exif, context);
            continue;
        }
        if (entry.kind != TagMenuEntry::Kind::Command)
            continue;
        const std::string tag = tagTextForCommand(entry.command);
        if (tag.empty())
            continue;
        std::printf("%-26s %s", tag.c_str(), entry.text.c_str());
        if (image) {
            const std::string name = tag.substr(1, tag.size() - 3);
            std::printf("\t%s", tagValue(name, image, exif, context).c_str());
        }
        std::printf("\n");
    }
}

int runTags(const std::vector<std::string>& args)
{
    TagContext context;
    context.language = languageFromEnvironment();
    std::vector<std::string> files;
    try {
        ArgumentReader reader(args);
        while (reader.next()) {
            if (!reader.isOption())
                files.push_back(reader.current());
            else if (reader.name() == "--help" || reader.name() == "-h")
                return printHelp(), 0;
            else if (reader.name() == "--lang")
                context.language = reader.value();
            else if (reader.name() == "--user-name")
                context.userName = reader.value();
            else
                throw UsageError("unknown option " + reader.name());
        }
        if (files.size() > 1)
            throw UsageError("tags takes at most one FILE");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tavelune-cli tags: %s\n", error.what());
        return 2;
    }
    Image image;
    ExifData exif;
    if (!files.empty()) {
        CliMessages messages;
        messages.setFile(files[0]);
        if (const ImageStatus opened = openImage(files[0], image); !opened) {
            showNotices(imageNotices(opened));
            return 1;
        }
        (void)exif.LoadExif(files[0]);
        showNotices(exifNotices(exif.warnings()));
    }
    listEntries(tagMenu(context.language), files.empty() ? nullptr : &image,
                files.empty() ? nullptr : &exif, context);
    return 0;
}

const CommandRegistrar registrar("tags", "list the information tags of watermark texts",
                                 runTags);

}  // namespace
}  // namespace tavelune::cli
