// The words the command line gives a batch file's reason.
#pragma once

#include <string>

#include "job/batch_conversion.h"

namespace tavelune::cli {

/// The reason in English, the detail filled in; empty for none.
std::string batchReasonText(const Failure<BatchError>& reason);

}  // namespace tavelune::cli
