// The words the batch dialog gives a file's reason, in the active language.
#pragma once

#include <QString>

#include "job/batch_conversion.h"

namespace tavelune::gui {

/// The reason with its detail filled in; empty for none.
QString batchReasonText(const Failure<BatchError>& reason);

}  // namespace tavelune::gui
