#include "resourcepaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Where the style sheet is read from: an installed program never takes one from the folder it was started
// in, a build in its build tree finds the source tree's.
class tst_ResourcePaths : public QObject
{
    Q_OBJECT

private slots:
    void styleSheetComesFromTheRightPlace_data();
    void styleSheetComesFromTheRightPlace();
};

void tst_ResourcePaths::styleSheetComesFromTheRightPlace_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<bool>("installedExists");
    QTest::addColumn<QString>("expected");
    QTest::newRow("installed") << "usr/bin" << true << "usr/share/quarmel-inventory/grafika/style.css";
    // Even without its own file an installed program takes none of the working folder's.
    QTest::newRow("installed, file missing") << "usr/bin" << false << "usr/share/quarmel-inventory/grafika/style.css";
    QTest::newRow("build tree") << "build/bin" << true << "source/grafika/style.css";
}

void tst_ResourcePaths::styleSheetComesFromTheRightPlace()
{
    QFETCH(QString, executable);
    QFETCH(bool, installedExists);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const auto create = [&root](const QString &path) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(root.filePath(path)).path()));
        QFile file(root.filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
    };
    for (const char *folder : {"usr/bin", "build/bin", "work/here"})
        QVERIFY(QDir(root.path()).mkpath(QLatin1String(folder)));
    if (installedExists)
        create(QStringLiteral("usr/share/quarmel-inventory/grafika/style.css"));
    create(QStringLiteral("source/grafika/style.css"));
    // A stranger's style sheet where the user happens to start the program.
    create(QStringLiteral("work/grafika/style.css"));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root.filePath(QStringLiteral("work/here"))));
    const QString found =
        ResourcePaths::find(QStringLiteral("grafika/"), QStringLiteral("style.css"), root.filePath(executable),
                            root.filePath(QStringLiteral("build")), root.filePath(QStringLiteral("source")));
    QDir::setCurrent(before);
    QCOMPARE(QDir::cleanPath(found), QDir::cleanPath(root.filePath(expected)));
}

QTEST_GUILESS_MAIN(tst_ResourcePaths)
#include "tst_resourcepaths.moc"
