// Batch reasons from the string table.
#include "gui/batch/batch_reason_text.h"

#include "gui/support/string_table.h"

namespace tavelune::gui {
namespace {

QString filledIn(int textId, const std::string& detail)
{
    return QString::asprintf(text(textId).toUtf8().constData(), detail.c_str());
}

}  // namespace

QString batchReasonText(const Failure<BatchError>& reason)
{
    switch (reason.code) {
        case BatchError::None:
            return {};
        case BatchError::OutputExists:
            return text(Strings::BatchReasonOutputExists);
        case BatchError::OutputNotFinished:
            return filledIn(Strings::BatchReasonOutputNotFinished, reason.detail);
        case BatchError::SameOutput:
            return filledIn(Strings::BatchReasonSameOutput, reason.detail);
        case BatchError::AboveCurrentFolder:
            return text(Strings::BatchReasonAboveCurrentFolder);
        case BatchError::ReplacesListed:
            return text(Strings::BatchReasonReplacesListed);
        case BatchError::FilmFailed:
            return text(Strings::BatchReasonFilmFailed);
        case BatchError::PictureFailed:
            break;
    }
    // The picture roads' own texts, as every front end shows them.
    return QString::fromStdString(reason.detail);
}

}  // namespace tavelune::gui
