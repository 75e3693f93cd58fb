// SPDX-License-Identifier: MIT
#include "modgp.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

// Runs the real program (named by ctest in VERTLIN_BINARY) from a directory
// of its own, with or without a table beside it.
class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void start_data()
    {
        QTest::addColumn<QByteArray>("table"); // null: no vl1.ini at all
        QTest::addColumn<QString>("error");    // empty: starts and waits for the user
        QTest::newRow("no vl1.ini") << QByteArray() << u"Ошибка 53: Файл не найден"_s;
        QTest::newRow("0-byte vl1.ini") << QByteArray("") << u"Ошибка 62: Ввод за концом файла"_s;
        QTest::newRow("header only") << QByteArray("header\r\n") << QString();
    }

    void start()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString binary = qEnvironmentVariable("VERTLIN_BINARY");
        const QString program = dir.filePath(QFileInfo(binary).fileName());
        const QString path = dir.filePath(u"vl1.ini"_s);
        QFile file(path);
        QVERIFY(QFile::copy(binary, program));
        QVERIFY(table.isNull() || (file.open(QIODevice::WriteOnly) && file.write(table) == table.size() && file.flush()));
        QProcess process;
        process.start(program, {});
        // A good start shows the window and waits for the user; a failed one ends, naming the file.
        const bool finished = process.waitForFinished(error.isEmpty() ? 3000 : 30000);
        process.kill();
        process.waitForFinished();
        const QString stderrText = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(error.isEmpty() ? !finished : finished && process.exitCode() != 0 && stderrText.contains(error)
                         && stderrText.contains(QDir::toNativeSeparators(path)), qPrintable(stderrText));
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
