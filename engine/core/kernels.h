// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

// The engine's innermost loops. Each vectorised kernel has a plain twin with
// the same contract: the tests hold them to the same results, and machines
// without SSE2 use the twin.
namespace Substitution::Kernels {

// First start of needle (m >= 1 characters) in haystack, or -1.
qsizetype find(const char16_t *haystack, qsizetype length, const char16_t *needle, qsizetype m);
qsizetype findPlain(const char16_t *haystack, qsizetype length, const char16_t *needle,
                    qsizetype m);

// Replaces every `from` by `to`; returns how many there were.
qint32 replaceCharacter(char16_t *chars, qsizetype length, char16_t from, char16_t to);
qint32 replaceCharacterPlain(char16_t *chars, qsizetype length, char16_t from, char16_t to);

} // namespace Substitution::Kernels
