// SPDX-License-Identifier: MIT
#pragma once

#include "substitution.h"

#include <vector>

// Auto-conversion converts the whole text at every typed space, yet only a
// line or two has changed since the last time. With most tables each line
// converts as it would on its own, so a window may convert just the lines
// that changed; this decides, once per table and direction, whether it may.
namespace Linewise {

// True when applying the rules to a text gives, line for line, what
// applying them to each line alone gives (lines ending at CR or LF), as
// long as no length limit is reached.
bool convertsLineByLine(const std::vector<Substitution::Rule> &rules);

} // namespace Linewise
