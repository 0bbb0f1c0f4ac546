// The installer's debug trace: the trace both programs share (common/app/trace.h).
#pragma once

#include "common/app/trace.h"

namespace rvx::installer {

using app::Trace;

}  // namespace rvx::installer
