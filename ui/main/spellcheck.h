// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QTextEdit>

#include <memory>

class Dictionary;
class QAction;
class QMenu;
class QPoint;
class QTextBlock;
class TextBox;

// Underlines the Cyrillic words the dictionary does not know. The marks
// are drawn over the text rather than set in it, so that the long
// paragraph being typed in is not laid out a second time at each key;
// each mark follows its word through edits, and only the words an edit
// touches are checked again. The dictionary keeps its answer per word.
class SpellUnderline : public QObject
{
public:
    SpellUnderline(TextBox *box, const Dictionary &dictionary);
    void setChecking(bool on);
    bool isChecking() const { return m_checking; }

private:
    void recheck(int position, int charsRemoved, int charsAdded);
    void check(const QTextBlock &block, int from, int to);

    TextBox *m_box;
    const Dictionary &m_dictionary;
    QList<QTextEdit::ExtraSelection> m_marks;
    bool m_checking = true;
};

// The spelling check of the text area: the underline, and at the top of
// the text area's context menu the readings of the word clicked,
// "Исправить все" and the switch "Проверка орфографии". Without a
// dictionary the text area stays as it is.
class SpellCheck : public QObject
{
    Q_OBJECT

public:
    SpellCheck(TextBox *box, std::unique_ptr<Dictionary> dictionary);
    ~SpellCheck() override;

    bool isChecking() const;
    // Every underlined word with exactly one reading, replaced by it as one
    // undo step; how many were.
    qsizetype fixAll();

private:
    void showMenu(const QPoint &position);
    void addReadings(QMenu *menu, const QPoint &position);
    void replace(int start, int length, const QString &text);

    TextBox *m_box;
    std::unique_ptr<Dictionary> m_dictionary;
    SpellUnderline *m_underline = nullptr;
    QAction *m_checking = nullptr;
    QAction *m_fixAll = nullptr;
};
