// SPDX-License-Identifier: MIT
#pragma once

class QTranslator;

namespace modGP {

// Loads Qt's own Russian texts (the text area's context menu, dialog
// buttons) into translator and installs it. Returns false when Qt's
// Russian translations are not installed; the program then runs with
// Qt's English texts.
bool installQtTranslations(QTranslator &translator);

// Brings the code table into memory, then shows the main window and runs
// the program until that window closes. Returns the exit status: non-zero
// when the table could not be loaded, in which case no window is shown.
int Main();

} // namespace modGP
