// SPDX-License-Identifier: MIT
#pragma once

#include "runtimeerror.h"

#include <QString>

#include <functional>

class QWidget;

// The one place that tells the user about a failure: a message box titled
// "Vertlin" that names the error, and the same text on standard error.
namespace ErrorReport {

// explanation, when given, follows the error's own line and says in plain
// words what it means for the user.
void show(const RuntimeError &error, QWidget *parent = nullptr, const QString &explanation = {});

// Replaces the message box, for tests. An empty sink restores it. Setting
// the environment variable VERTLIN_NO_DIALOGS also leaves the box out, so
// that scripted runs never wait on a modal window.
using Sink = std::function<void(const RuntimeError &, const QString &text)>;
void setSink(Sink sink);

} // namespace ErrorReport
