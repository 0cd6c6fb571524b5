// The three things linkmill-services does; each returns the exit status.
#pragma once

#include "services/options.h"

namespace linkmill::services {

// Answers lookups until SIGINT or SIGTERM.
int RunServe(const Options& options);
int RunImport(const Options& options);
int RunExport(const Options& options);

}  // namespace linkmill::services
