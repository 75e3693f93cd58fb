// SPDX-License-Identifier: MIT
#pragma once

namespace modGP {

// Brings the code table into memory, then shows the main window and runs
// the program until that window closes. Returns the exit status: non-zero
// when the table could not be loaded, in which case no window is shown.
int Main();

} // namespace modGP
