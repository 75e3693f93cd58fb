// SPDX-License-Identifier: MIT
#include "modgp.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

// Runs the real program (named by ctest in VERTLIN_BINARY) from a directory
// of its own, with a table beside it (none at all: the e2e limits scenario).
class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void start_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("error");    // empty: starts and waits for the user
        QTest::newRow("0-byte vl1.ini") << QByteArray("") << u"Ошибка 62: Ввод за концом файла"_s;
        QTest::newRow("header only") << QByteArray("header\r\n") << QString();
    }

    void start()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString program = dir.filePath(u"vertlin"_s), path = dir.filePath(u"vl1.ini"_s);
        QFile file(path);
        QVERIFY(QFile::copy(qEnvironmentVariable("VERTLIN_BINARY"), program));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(table) == table.size() && file.flush());
        QProcess process;
        process.start(program, {});
        // A good start shows the window and waits for the user; a failed one ends, naming the file.
        const bool finished = process.waitForFinished(error.isEmpty() ? 3000 : 30000);
        process.kill();
        process.waitForFinished();
        const QString stderrText = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(error.isEmpty() ? !finished : finished && process.exitCode() != 0 && stderrText.contains(error)
                         && stderrText.contains(path), qPrintable(stderrText));
    }

    void qtSpeaksRussian()
    {
        QTranslator translator;
        QVERIFY(modGP::installQtTranslations(translator));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Отмена"_s);
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
