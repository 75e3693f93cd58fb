// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>

class QKeyEvent;

// The menus' access letters are Russian, and their keys are where the
// standard Russian layout puts them, whatever layout is active: К on the
// key that is R on a US keyboard, П on G, О on J. Someone who types Russian
// in Latin letters often has no Russian layout at all.
namespace AccessKeys {

// The capital letter that the standard Russian layout has on the key of this
// event, found from the key's hardware code where the platform gives one;
// a null character for a key that carries no Russian letter there.
QChar russianLetter(const QKeyEvent *event);

} // namespace AccessKeys
