// SPDX-License-Identifier: MIT
#include "frmmain.h"

#include "accesskeys.h"
#include "appicon.h"
#include "appversion.h"
#include "dictionary.h"
#include "form2.h"
#include "screenfit.h"
#include "spellcheck.h"
#include "textbox.h"
#include "twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleOptionMenuItem>

using namespace Qt::StringLiterals;

namespace {

// The menu bar holds the keyboard (after a tap of Alt or F10, or Esc from
// a drop-down) with its current title merely "selected", which the usual
// desktop styles draw like any other title. Drawn as the title of an open
// menu, it shows where the keys go, as the platform's own menu bar does.
class MenuBarStyle : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element == CE_MenuBarItem && widget && widget->hasFocus()
            && option->state.testFlag(State_Selected)) {
            if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
                QStyleOptionMenuItem shown = *item;
                shown.state |= State_Sunken;
                QProxyStyle::drawControl(element, &shown, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

frmMain::frmMain(const QStringList &codeTable, QWidget *parent)
    : QMainWindow(parent), m_codeTable(codeTable)
{
    setObjectName(u"frmMain"_s);
    setWindowIcon(appIcon());

    txtMain = new TextBox(this);
    txtMain->setObjectName(u"txtMain"_s);
    txtMain->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtMain->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(u"MS Sans Serif"_s);
    font.setPointSizeF(9.75);
    font.setStyleHint(QFont::SansSerif);
    txtMain->setFont(font);
    // The main window's layout keeps the text area filling the client area
    // below the menu bar at every size, and leaves it alone while minimised.
    setCentralWidget(txtMain);
    m_paragraphs = new ParagraphConversion(txtMain->document(), m_codeTable);
    connect(txtMain, &TextBox::keyPress, this, &frmMain::txtMain_KeyPress);
    connect(txtMain, &TextBox::clicked, this, &frmMain::txtMain_Click);
    new SpellCheck(txtMain, Dictionary::find(QCoreApplication::applicationDirPath()));

    createMenus();
    setUpMenuKeyboard();

    resize(Twips::size(8445, 5850, this) + QSize(0, menuBar()->sizeHint().height()));
    centreOnScreen();

    Form_Load();
}

// The whole frame, title bar included, goes to the centre, as the platform
// centres a window. Where the frame is only known once the window manager
// has framed the shown window (X11), it is centred again at that moment.
void frmMain::centreOnScreen()
{
    ScreenFit::centre(this);
}

void frmMain::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (!m_framed && isVisible() && frameGeometry() != geometry()) {
        m_framed = true;
        centreOnScreen();
    }
}

// Alt with the key of an access letter's place on the Russian layout. With
// that layout active the menu bar has taken it already; with any other, it
// is handed on as that letter.
void frmMain::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const QChar letter = AccessKeys::russianLetter(event);
    if (!modifiers.testFlag(Qt::AltModifier)
        || (modifiers & (Qt::ControlModifier | Qt::GroupSwitchModifier)) || letter.isNull()) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    for (QAction *item : menuBar()->actions()) {
        const QString caption = item->text();
        const qsizetype amp = caption.indexOf(u'&');
        if (amp < 0 || amp + 1 >= caption.size() || caption.at(amp + 1).toUpper() != letter)
            continue;
        event->accept();
        if (!item->menu()) {
            item->trigger();
            return;
        }
        // Opened as its own Alt+letter opens it: in keyboard mode, first item lit.
        QKeyEvent mnemonic(QEvent::KeyPress, letter.unicode(), Qt::AltModifier, QString(letter));
        QCoreApplication::sendEvent(menuBar(), &mnemonic);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void frmMain::createMenus()
{
    con = menuBar()->addMenu(u"&Конвертация"_s);
    rus = con->addAction(u"Русский шрифт"_s, Qt::Key_F3, this, &frmMain::rus_Click);
    eng = con->addAction(u"Латинский шрифт"_s, Qt::Key_F4, this, &frmMain::eng_Click);
    asd = con->addSeparator();
    trans = con->addAction(u"Автоконвертация: RUS --> LAT"_s, this, &frmMain::trans_Click);
    transe = con->addAction(u"Автоконвертация: LAT --> RUS"_s, this, &frmMain::transe_Click);
    trans->setCheckable(true);
    transe->setCheckable(true);

    sel = menuBar()->addMenu(u"&Правка"_s);
    cut = sel->addAction(u"Вырезать"_s, QKeySequence(Qt::CTRL | Qt::Key_X), this,
                         &frmMain::cut_Click);
    copy = sel->addAction(u"Копировать"_s, QKeySequence(Qt::CTRL | Qt::Key_C), this,
                          &frmMain::copy_Click);
    paste = sel->addAction(u"Вставить"_s, QKeySequence(Qt::CTRL | Qt::Key_V), this,
                           &frmMain::paste_Click);
    del = sel->addAction(u"Удалить"_s, Qt::Key_Delete, this, &frmMain::del_Click);
    asa = sel->addSeparator();
    all = sel->addAction(u"Выделить все"_s, QKeySequence(Qt::CTRL | Qt::Key_A), this,
                         &frmMain::all_Click);
    date = sel->addAction(u"Время и дата"_s, QKeySequence(Qt::CTRL | Qt::Key_D), this,
                          &frmMain::date_Click);

    // A command of its own on the menu bar, with no drop-down.
    about = menuBar()->addAction(u"&О программе..."_s, this, &frmMain::about_Click);

    const QList<QAction *> named{rus, eng, asd, trans, transe, cut, copy, paste, del, asa, all,
                                 date, about};
    const QStringList names{u"rus"_s, u"eng"_s,  u"asd"_s, u"trans"_s, u"transe"_s,
                            u"cut"_s, u"copy"_s, u"paste"_s, u"del"_s, u"asa"_s,
                            u"all"_s, u"date"_s, u"about"_s};
    for (qsizetype i = 0; i < named.size(); ++i)
        named.at(i)->setObjectName(names.at(i));
    con->setObjectName(u"con"_s);
    sel->setObjectName(u"sel"_s);

    QList<QKeySequence> shortcuts;
    for (const QAction *action : named) {
        if (!action->shortcut().isEmpty())
            shortcuts.append(action->shortcut());
    }
    txtMain->setReservedShortcuts(shortcuts);
}

void frmMain::setUpMenuKeyboard()
{
    auto *style = new MenuBarStyle;
    style->setParent(menuBar());
    menuBar()->setStyle(style);

    // F10 hands the keyboard to the menu bar like a tap of Alt. Qt has no
    // call for that, so the tap is replayed, queued to come after this key,
    // to the widget that would have received it. A key event's modifiers
    // leave out the key's own: the press reads as Alt held.
    auto *f10 = new QShortcut(Qt::Key_F10, this);
    connect(f10, &QShortcut::activated, this, [this] {
        QWidget *focus = QApplication::focusWidget();
        if (!focus || focus->window() != this)
            return;
        auto *press = new QKeyEvent(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
        press->ignore();
        QCoreApplication::postEvent(focus, press);
        QCoreApplication::postEvent(focus, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Alt,
                                                         Qt::AltModifier));
    });
}

void frmMain::Form_Load()
{
    setWindowTitle(AppVersion::current().shortTitle());
}

void frmMain::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_Unload();
}

void frmMain::Form_Unload()
{
    // Closing the main window ends the program, whatever else is open.
    QCoreApplication::quit();
}

void frmMain::about_Click()
{
    // No owner: the About window neither blocks this one nor stays above it.
    // Asked for again while open, the same window comes to the front.
    Form2 *form = Form2::instance();
    form->show();
    form->raise();
    form->activateWindow();
}
