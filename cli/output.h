// What linkmill-cli prints of the controls after a task.
#pragma once

#include <string>

#include "app/memory_controls.h"
#include "cli/options.h"

namespace linkmill {

// A field of --rows and --state: backslash, TAB, CR and LF escaped.
Text EscapeField(std::string_view field);

// The links "copy" would put on the clipboard: every link cell of 2 bytes or
// more, each followed by CR LF.
Text CopiedLinks(MemoryControls& controls);

// The whole output of a command, in GBK.
Text RenderOutput(MemoryControls& controls, Command command, OutputForm form);

}  // namespace linkmill
