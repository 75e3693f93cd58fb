// SPDX-License-Identifier: MIT
#include "spellcheck.h"

#include "dictionary.h"
#include "spelling.h"
#include "textbox.h"

#include <QAction>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

using namespace Qt::StringLiterals;

SpellUnderline::SpellUnderline(TextBox *box, const Dictionary &dictionary)
    : QObject(box), m_box(box), m_dictionary(dictionary)
{
    connect(box->document(), &QTextDocument::contentsChange, this, &SpellUnderline::recheck);
    recheck(0, 0, box->document()->characterCount());
}

void SpellUnderline::setChecking(bool on)
{
    m_checking = on;
    m_marks.clear();
    if (on)
        recheck(0, 0, m_box->document()->characterCount());
    else
        m_box->setExtraSelections(m_marks);
}

// Only the words an edit touched are checked again: in a long paragraph,
// checking all of it at every key would cost as much as the key itself.
void SpellUnderline::recheck(int position, int charsRemoved, int charsAdded)
{
    Q_UNUSED(charsRemoved);
    if (!m_checking)
        return;
    const int end = position + charsAdded;
    for (QTextBlock block = m_box->document()->findBlock(position);
         block.isValid() && block.position() <= end; block = block.next())
        check(block, std::max(position - block.position(), 0),
              std::min(end - block.position(), block.length() - 1));
    m_box->setExtraSelections(m_marks);
}

namespace {
bool inWord(const QString &text, qsizetype at)
{
    const QChar c = text.at(at);
    return c.isLetterOrNumber() || c.isMark() || c == u'-';
}
} // namespace

// The marks of the words of block that reach into from..to made afresh.
void SpellUnderline::check(const QTextBlock &block, int from, int to)
{
    const QString text = block.text();
    while (from > 0 && inWord(text, from - 1))
        --from;
    while (to < text.size() && inWord(text, to))
        ++to;
    const int first = block.position() + from, last = block.position() + to;
    m_marks.removeIf([first, last](const QTextEdit::ExtraSelection &mark) {
        return !mark.cursor.hasSelection()
                || (mark.cursor.selectionEnd() >= first && mark.cursor.selectionStart() <= last);
    });
    QTextCharFormat unknown;
    // The platform's own spell-check underline, in red.
    unknown.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    unknown.setUnderlineColor(Qt::red);
    const QStringView span = QStringView(text).mid(from, to - from);
    for (const Spelling::Span &word : Spelling::misspelt(span, m_dictionary)) {
        QTextCursor cursor(block);
        cursor.setPosition(first + int(word.start));
        cursor.setPosition(first + int(word.start + word.length), QTextCursor::KeepAnchor);
        m_marks.append({cursor, unknown});
    }
}

SpellCheck::SpellCheck(TextBox *box, std::unique_ptr<Dictionary> dictionary)
    : QObject(box), m_box(box), m_dictionary(std::move(dictionary))
{
    if (!m_dictionary)
        return;
    m_underline = new SpellUnderline(box, *m_dictionary);
    m_checking = new QAction(u"Проверка орфографии"_s, this);
    m_checking->setObjectName(u"spellCheck"_s);
    m_checking->setCheckable(true);
    m_checking->setChecked(true);
    connect(m_checking, &QAction::toggled, m_underline, &SpellUnderline::setChecking);
    m_fixAll = new QAction(u"Исправить все"_s, this);
    m_fixAll->setObjectName(u"fixAll"_s);
    connect(m_fixAll, &QAction::triggered, this, &SpellCheck::fixAll);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, &SpellCheck::showMenu);
}

SpellCheck::~SpellCheck() = default;

bool SpellCheck::isChecking() const
{
    return m_underline && m_underline->isChecking();
}

void SpellCheck::showMenu(const QPoint &position)
{
    // The position is the viewport's, as the editor's own menu takes it.
    std::unique_ptr<QMenu> menu(m_box->createStandardContextMenu(position));
    QAction *first = menu->actions().value(0);
    if (isChecking())
        addReadings(menu.get(), position);
    m_fixAll->setEnabled(isChecking());
    menu->insertAction(first, m_fixAll);
    menu->insertAction(first, m_checking);
    menu->insertSeparator(first);
    menu->exec(m_box->viewport()->mapToGlobal(position));
}

// The word under the pointer, when underlined: what it may have been meant
// as, each choice replacing it.
void SpellCheck::addReadings(QMenu *menu, const QPoint &position)
{
    const QTextCursor at = m_box->cursorForPosition(position);
    const QTextBlock block = at.block();
    const qsizetype inBlock = at.position() - block.position();
    const QString text = block.text();
    for (const Spelling::Span &word : Spelling::misspelt(text, *m_dictionary)) {
        if (inBlock < word.start || inBlock > word.start + word.length)
            continue;
        const QStringList offers = Spelling::offers(text.mid(word.start, word.length),
                                                    *m_dictionary);
        QAction *before = menu->actions().value(0);
        for (const QString &offer : offers.mid(0, 12)) {
            QAction *choice = new QAction(offer, menu);
            connect(choice, &QAction::triggered, this, [this, block, word, offer] {
                replace(int(block.position() + word.start), int(word.length), offer);
            });
            menu->insertAction(before, choice);
        }
        if (offers.isEmpty()) {
            QAction *none = new QAction(u"(нет вариантов)"_s, menu);
            none->setEnabled(false);
            menu->insertAction(before, none);
        }
        menu->insertSeparator(before);
        return;
    }
}

void SpellCheck::replace(int start, int length, const QString &text)
{
    QTextCursor cursor(m_box->document());
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.insertText(text);
    m_box->closeUndoStep();
    cursor.endEditBlock();
}

qsizetype SpellCheck::fixAll()
{
    if (!isChecking())
        return 0;
    QTextCursor cursor(m_box->document());
    qsizetype fixed = 0;
    cursor.beginEditBlock();
    // From the last paragraph, so that the positions of the others stay true.
    for (QTextBlock block = m_box->document()->lastBlock(); block.isValid();
         block = block.previous()) {
        const QList<Spelling::Fix> fixes = Spelling::fixes(block.text(), *m_dictionary);
        for (auto fix = fixes.crbegin(); fix != fixes.crend(); ++fix) {
            cursor.setPosition(int(block.position() + fix->start));
            cursor.setPosition(int(block.position() + fix->start + fix->length),
                               QTextCursor::KeepAnchor);
            cursor.insertText(fix->text);
        }
        fixed += fixes.size();
    }
    if (fixed > 0)
        m_box->closeUndoStep();
    cursor.endEditBlock();
    return fixed;
}
