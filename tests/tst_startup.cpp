// SPDX-License-Identifier: MIT
#include "modgp.h"

#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

// Qt's own texts (the buttons of a message box) in Russian, as the start-up
// installs them; the start itself is the e2e scenarios' (limits.sh: no table).
class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void qtSpeaksRussian()
    {
        QTranslator translator;
        QVERIFY(modGP::installQtTranslations(translator));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Отмена"_s);
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
