// SPDX-License-Identifier: MIT
#include "errorreport.h"
#include "form2.h"
#include "frmmain.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>

using namespace Qt::StringLiterals;

class tst_Form2 : public QObject
{
    Q_OBJECT

    enum Request { None, Web, Mail, Refused };
    QStringList requests; // what the program asked the desktop to open
    const QString title = u"Vertlin v2.0.15"_s;

    static QString text(Form2 *form, const QString &name) { return form->findChild<QLabel *>(name)->text(); }

    // Off the screen at once, destroyed as soon as events are processed.
    static bool unloaded(const QPointer<Form2> &form)
    {
        const bool hidden = !Form2::isLoaded() && !(form && form->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return hidden && form.isNull();
    }

public slots:
    void open(const QUrl &url) { requests.append(url.toString(QUrl::FullyDecoded)); }

private slots:
    void init()
    {
        requests.clear();
        ErrorReport::setSink([](const RuntimeError &, const QString &text) { QFAIL(qPrintable(text)); });
        QCoreApplication::setApplicationVersion(u"2.00.0015"_s); // the title shows plain numbers
        for (const QString &scheme : {u"http"_s, u"mailto"_s})
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }

    void cleanup()
    {
        if (Form2::isLoaded())
            Form2::instance()->Unload();
        for (const QString &scheme : {u"http"_s, u"mailto"_s})
            QDesktopServices::unsetUrlHandler(scheme);
    }

    // Every click closes; only the two links hand something to the desktop.
    void clickCloses_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QPoint>("at"); // null: the centre
        QTest::addColumn<int>("request");
        // Each label has a handler of its own; the lines let clicks through to the white space.
        for (const char *name : {"Image1", "Label1", "Label2", "Label3", "Label4", "Label6"})
            QTest::newRow(name) << QString::fromLatin1(name) << QPoint() << int(None);
        QTest::newRow("white space") << u"client"_s << QPoint(5, 110) << int(None);
        QTest::newRow("frame") << u"Form2"_s << QPoint(1, 1) << int(None);
        QTest::newRow("web link") << u"Label7"_s << QPoint() << int(Web);
        QTest::newRow("e-mail link") << u"Label5"_s << QPoint() << int(Mail);
        QTest::newRow("e-mail link, no mail program") << u"Label5"_s << QPoint() << int(Refused);
    }

    void clickCloses()
    {
        QFETCH(QString, element);
        QFETCH(QPoint, at);
        QFETCH(int, request);
        if (request == Refused) {
            QDesktopServices::setUrlHandler(u"mailto"_s, this, "noSuchSlot");
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No such method"_s));
        }
        QPointer<Form2> form = Form2::instance();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        // The link's own text is opened; mail goes to the address shown, the title as its subject.
        const QString address = text(form, u"Label5"_s).remove(u"e-mail: "_s);
        const QStringList expected[] = {{}, {text(form, u"Label7"_s)}, {u"mailto:"_s + address + u"?Subject="_s + title}, {}};
        const QWidget *w = element == u"Form2"_s ? form : form->findChild<QWidget *>(element);
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, w->mapTo(form, at.isNull() ? w->rect().center() : at));
        QCOMPARE(requests, expected[request]);
        QVERIFY(unloaded(form));
        // Silently: no message of any kind is left on the screen.
        QVERIFY(std::ranges::none_of(QApplication::topLevelWidgets(), &QWidget::isVisible));
    }

    void aboutFromMainWindow()
    {
        frmMain main(QStringList{u"header"_s});
        main.show();
        QAction *about = main.findChild<QAction *>(u"about"_s);
        about->trigger();
        QPointer<Form2> form = Form2::instance();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(text(form, u"Label1"_s), title);
        // Neither modal nor owned by the main window.
        QVERIFY(!QApplication::activeModalWidget() && !form->parentWidget() && !form->windowHandle()->transientParent());
        // Asked for again while open: the same window, its title as loaded.
        QCoreApplication::setApplicationVersion(u"3.01.007"_s);
        about->trigger();
        QCOMPARE(std::pair(Form2::instance(), text(form, u"Label1"_s)), std::pair(form.data(), title));
        // Closed (here by the window manager) and asked for again: composed afresh.
        form->close();
        QVERIFY(unloaded(form));
        about->trigger();
        form = Form2::instance();
        QCOMPARE(text(form, u"Label1"_s), u"Vertlin v3.1.7"_s);
    }
};

QTEST_MAIN(tst_Form2)
#include "tst_form2.moc"
