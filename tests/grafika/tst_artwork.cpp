// The pictures and the style sheet as the build places them beside bin/: they load, the print logo stays
// black and white, the style sheet parses, and it leaves the row colours of the models visible.

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMovie>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

namespace {

QString artwork(const QString &name)
{
    return QStringLiteral(QUARMEL_GRAFIKA_DIR "/") + name;
}

QStringList capturedWarnings;

void captureWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        capturedWarnings.append(message);
}

QString readStyleSheet()
{
    QFile file(artwork(QStringLiteral("style.css")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void picturesLoad_data();
    void picturesLoad();
    void printLogoIsBlackAndWhite();
    void progressAnimationRuns();
    void styleSheetParses();
    void styleSheetKeepsModelRowColours();
};

void TestArtwork::cleanup()
{
    qApp->setStyleSheet(QString());
}

void TestArtwork::picturesLoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimumWidth");
    QTest::addColumn<bool>("square");

    QTest::newRow("window icon") << QStringLiteral("iconQuarmel.png") << 256 << true;
    // Printed at a third of the page width, which is about 2400 device pixels at high resolution.
    QTest::newRow("print logo") << QStringLiteral("logoBW.png") << 800 << false;
    QTest::newRow("progress animation") << QStringLiteral("progress.gif") << 64 << true;
}

void TestArtwork::picturesLoad()
{
    QFETCH(QString, name);
    QFETCH(int, minimumWidth);
    QFETCH(bool, square);

    const QImage image(artwork(name));
    QVERIFY2(!image.isNull(), qPrintable(artwork(name)));
    QVERIFY(image.width() >= minimumWidth);
    if (square)
        QCOMPARE(image.height(), image.width());
}

void TestArtwork::printLogoIsBlackAndWhite()
{
    const QImage logo(artwork(QStringLiteral("logoBW.png")));
    QVERIFY(!logo.isNull());
    QVERIFY(logo.allGray());
    QCOMPARE(logo.pixelColor(0, 0), QColor(Qt::white));
}

void TestArtwork::progressAnimationRuns()
{
    QMovie movie(artwork(QStringLiteral("progress.gif")));
    QVERIFY(movie.isValid());
    QVERIFY(movie.frameCount() > 1);
    QSignalSpy frames(&movie, &QMovie::frameChanged);
    QVERIFY(frames.isValid());
    movie.start();
    QTRY_VERIFY(frames.count() >= 3);
    // The overlay stays up for a whole transfer, so the animation must loop rather than stop.
    QCOMPARE(movie.loopCount(), -1);
    // Transparent corners, so the overlay's own background shows around the bottle.
    QCOMPARE(movie.currentImage().pixelColor(0, 0).alpha(), 0);
}

void TestArtwork::styleSheetParses()
{
    const QString styleSheet = readStyleSheet();
    QVERIFY(!styleSheet.isEmpty());

    capturedWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureWarnings);
    qApp->setStyleSheet(styleSheet);
    QPushButton button(QStringLiteral("OK"));
    button.ensurePolished();
    qInstallMessageHandler(previous);

    QVERIFY2(capturedWarnings.isEmpty(), qPrintable(capturedWarnings.join(QLatin1Char('\n'))));
    QVERIFY(button.minimumSizeHint().height() >= 30);
}

// The update page tells current rows from updated ones only by the background the model gives them.
void TestArtwork::styleSheetKeepsModelRowColours()
{
    qApp->setStyleSheet(readStyleSheet());
    const QColor updated(232, 232, 232);
    QStandardItemModel model(2, 1);
    model.setItem(0, 0, new QStandardItem(QString()));
    model.setItem(1, 0, new QStandardItem(QString()));
    model.item(1, 0)->setBackground(updated);

    QTableView view;
    view.setModel(&model);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QImage shot = view.viewport()->grab().toImage();
    const QRect plainCell = view.visualRect(model.index(0, 0));
    const QRect updatedCell = view.visualRect(model.index(1, 0));
    QCOMPARE(shot.pixelColor(updatedCell.center()), updated);
    QVERIFY(shot.pixelColor(plainCell.center()) != updated);
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
