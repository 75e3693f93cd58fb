// SPDX-License-Identifier: MIT
#pragma once

// A text area's text and selection as one string: "zh[uk]" is "zhuk" with
// "uk" selected, "zh|uk" has the caret after "zh". Positions count a line
// break as two, as the text area does.

#include "textbox.h"

inline void setMarked(TextBox *box, QString marked)
{
    const qsizetype start = marked.contains(u'|') ? marked.indexOf(u'|') : marked.indexOf(u'[');
    const qsizetype end = marked.indexOf(u']');
    box->setText(marked.remove(u'|').remove(u'[').remove(u']'));
    box->setSelStart(start);
    box->setSelLength(end < 0 ? 0 : end - start - 1);
}

inline QString marked(const TextBox *box)
{
    QString text = box->text();
    const qsizetype start = box->selStart(), end = start + box->selLength();
    return start == end ? text.insert(start, u'|') : text.insert(end, u']').insert(start, u'[');
}
