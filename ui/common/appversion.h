// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The program's version as the application object holds it, read afresh
// each time a caption is composed.
struct AppVersion
{
    int major = 0;
    int minor = 0;
    int revision = 0;

    static AppVersion current();

    // "Vertlin v2.0"
    QString shortTitle() const;
    // "Vertlin v2.0.15"
    QString fullTitle() const;
};
