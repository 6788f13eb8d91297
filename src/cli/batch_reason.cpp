// Batch reasons worded from the string table's English column, the one the desktop program's
// English pack shows.
#include "cli/batch_reason.h"

namespace tavelune::cli {
namespace {

#define TAVELUNE_TEXT(name, id, zhCN, zhTW, enUS) constexpr const char* k##name = enUS;
#include "../../resources/strings/batch.inc"
#undef TAVELUNE_TEXT

// The table's texts hold at most one "%s", for the detail; the detail itself is never read
// as a format.
std::string filledIn(const char* text, const std::string& detail)
{
    std::string out = text;
    if (const std::size_t at = out.find("%s"); at != std::string::npos)
        out.replace(at, 2, detail);
    return out;
}

}  // namespace

std::string batchReasonText(const Failure<BatchError>& reason)
{
    switch (reason.code) {
        case BatchError::None:
            return {};
        case BatchError::OutputExists:
            return kBatchReasonOutputExists;
        case BatchError::OutputNotFinished:
            return filledIn(kBatchReasonOutputNotFinished, reason.detail);
        case BatchError::SameOutput:
            return filledIn(kBatchReasonSameOutput, reason.detail);
        case BatchError::AboveCurrentFolder:
            return kBatchReasonAboveCurrentFolder;
        case BatchError::ReplacesListed:
            return kBatchReasonReplacesListed;
        case BatchError::FilmFailed:
            return kBatchReasonFilmFailed;
        case BatchError::PictureFailed:
            return reason.detail;
    }
    return reason.detail;
}

}  // namespace tavelune::cli
