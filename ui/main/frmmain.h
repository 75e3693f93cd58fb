// SPDX-License-Identifier: MIT
#pragma once

#include "conversion.h"
#include "paragraphconversion.h"

#include <QMainWindow>
#include <QStringList>

class QAction;
class QMenu;
class TextBox;

// The program's one working window: a text area under a menu bar. Its
// handlers are split by concern: window and menus here, the editing
// commands in frmmain_editing.cpp, conversion in frmmain_conversion.cpp.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    // codeTable is the table every conversion walks; the window keeps its
    // words, taken out once, and the list may go after this returns.
    explicit frmMain(const QStringList &codeTable, QWidget *parent = nullptr);

    TextBox *textBox() const { return txtMain; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    // Alt with a key, which the text area leaves to the window.
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    // Conversion and auto-conversion.
    void rus_Click();
    void eng_Click();
    void trans_Click();
    void transe_Click();
    void txtMain_KeyPress(char16_t keyAscii);
    void txtMain_Click();

    // Editing.
    void cut_Click();
    void copy_Click();
    void paste_Click();
    void del_Click();
    void all_Click();
    void date_Click();

    void about_Click();

private:
    void Form_Load();
    void Form_Unload();
    void centreOnScreen();
    void createMenus();
    void setUpMenuKeyboard();
    enum class Caret { AtStart, AtEnd };
    void ConvertText(bool toCyrillic, Caret caret = Caret::AtStart);
    std::vector<ParagraphConversion::Edit> wholeTextEdits(bool toCyrillic) const;
    void convertFromMenu(bool toCyrillic);

    // The table never changes after start-up: its words are taken out once
    // rather than at every conversion (at every space in auto-conversion).
    const ConversionTable m_codeTable;

    TextBox *txtMain = nullptr;
    // What auto-conversion knows of each paragraph; lives with the document.
    ParagraphConversion *m_paragraphs = nullptr;
    // The window manager's frame has been seen, and the window centred with it.
    bool m_framed = false;

    QMenu *con = nullptr;
    QAction *rus = nullptr;
    QAction *eng = nullptr;
    QAction *asd = nullptr;
    QAction *trans = nullptr;
    QAction *transe = nullptr;

    QMenu *sel = nullptr;
    QAction *cut = nullptr;
    QAction *copy = nullptr;
    QAction *paste = nullptr;
    QAction *del = nullptr;
    QAction *asa = nullptr;
    QAction *all = nullptr;
    QAction *date = nullptr;

    QAction *about = nullptr;
};
