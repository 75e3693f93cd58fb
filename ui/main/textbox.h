// SPDX-License-Identifier: MIT
#pragma once

#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <memory>

// The main window's text area, seen the way its commands see a classic
// multi-line text box: line breaks are CR LF and count two characters, and
// the selection is a start and a length in those terms. A position never
// falls between the CR and the LF of a break.
//
// It also lets the window's menu shortcuts win over the editor's own keys
// and reports typed characters before they are inserted.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    QString text() const;
    // The document's text with each line break as one "\n": index i is
    // document position i, comparable with toEditorText() of a model text.
    QString editorText() const;
    // Replaces the whole text as one undoable step; the caret goes to the start.
    void setText(const QString &text);
    qsizetype textLength() const;

    qsizetype selStart() const;
    // Collapses any selection to a caret at start (clamped to the text).
    void setSelStart(qsizetype start);
    qsizetype selLength() const;
    // Selects length characters from the selection start (clamped).
    void setSelLength(qsizetype length);
    QString selText() const;
    // Replaces the selection (or inserts at the caret) as one undo step of
    // its own; the caret ends after it.
    void setSelText(const QString &text);

    // Ends the undo step being built, so that characters typed next start a
    // step of their own instead of merging into it. Call it inside an edit
    // block, as the block's last change; outside one it would add an empty
    // step of its own.
    void closeUndoStep();

    // Called from a keyPress handler before it changes the text: that change
    // and the key's own edit become one edit, laid out once and undone in
    // one step. Elsewhere it does nothing.
    void editWithKey();
    // setTextCursor(caret) for a caret without a selection; inside such an
    // edit, the key's character is inserted there instead of at the caret.
    void placeCaret(const QTextCursor &caret);

    // The undo history holds at most about this many characters that the
    // text no longer shows. A step that would take it past that first drops
    // the older ones; a step larger than that alone is not kept.
    static constexpr qsizetype HistoryBudget = qsizetype(4) << 20;
    // Called before an edit that removes that many characters, so that the
    // edit itself stays undoable.
    void makeRoomInHistory(qsizetype removing);

    // Keys that belong to the window's menu and must never be taken by the
    // editor's own handling.
    void setReservedShortcuts(const QList<QKeySequence> &shortcuts);

    // Position mapping between the editor's document (one position per line
    // break) and the CR LF model. rawText is the document's raw text, whose
    // breaks are U+2029 or U+2028.
    static qsizetype toModelPosition(QStringView rawText, qsizetype documentPosition);
    // A model position between a CR and its LF goes before the CR, or after
    // the LF when snapForward is set.
    static qsizetype toDocumentPosition(QStringView rawText, qsizetype modelPosition,
                                        bool snapForward = false);
    // CR LF, lone CR and lone LF all become the editor's "\n".
    static QString toEditorText(const QString &modelText);

signals:
    // A key that produces a character was typed; emitted before the
    // editor inserts it (or, for Backspace, deletes). Never for Alt with a
    // key, which is a menu key.
    void keyPress(char16_t keyAscii);
    // The user clicked in the text with the left mouse button.
    void clicked();

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    QString rawText() const;
    void countHistory(int position, int charsRemoved, int charsAdded);
    void dropHistory();
    QTextCursor cursorForModelRange(qsizetype start, qsizetype length) const;

    QList<QKeySequence> m_reservedShortcuts;
    bool m_typing = false;                   // inside the keyPress signal
    std::unique_ptr<QTextCursor> m_keyEdit;  // the edit a handler opened for the key
    bool m_keyCaretPlaced = false;           // and where its character goes
    qsizetype m_historyHeld = 0;             // see HistoryBudget
    bool m_dropPending = false;
    bool m_rebuilding = false;
};
