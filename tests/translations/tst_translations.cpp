// The Czech catalogue: every message translated with its placeholders, line breaks and edge blanks intact,
// both catalogues placed in the build where the program looks for them, and the user guide naming only texts
// the program shows.

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type;
};

QList<Message> readCatalogue(const QString &path, QString *error)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message();
            message.context = context;
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages.append(message);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%L?\\d+"));
    QStringList found;
    auto it = placeholder.globalMatch(text);
    while (it.hasNext())
        found.append(it.next().captured());
    found.sort();
    return found;
}

QString leadingBlanks(const QString &text)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return text.left(i);
}

QString trailingBlanks(const QString &text)
{
    int i = text.size();
    while (i > 0 && text.at(i - 1).isSpace())
        --i;
    return text.mid(i);
}

bool isCzech(const QString &text)
{
    static const QRegularExpression czechLetter(QStringLiteral("[ěščřžýáíéůúťďňĚŠČŘŽÝÁÍÉŮÚŤĎŇ]"));
    return czechLetter.match(text).hasMatch();
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void everyMessageIsTranslated_data();
    void everyMessageIsTranslated();
    void programCatalogueLoadsByLocaleName_data();
    void programCatalogueLoadsByLocaleName();
    void qtCatalogueLoadsByLocaleName();
    void guideNamesWhatTheWindowShows();
};

void TestTranslations::everyMessageIsTranslated_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QString>("type");

    QString error;
    const QList<Message> messages = readCatalogue(QStringLiteral(QUARMEL_TS_FILE), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!messages.isEmpty());
    for (const Message &m : messages) {
        const QString name = m.context + QLatin1String(": ") + m.source.left(50).replace(QLatin1Char('\n'), ' ');
        QTest::newRow(qPrintable(name)) << m.source << m.translation << m.type;
    }
}

void TestTranslations::everyMessageIsTranslated()
{
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QFETCH(QString, type);

    QVERIFY2(type.isEmpty(), qPrintable(QStringLiteral("marked %1").arg(type)));
    QVERIFY(!translation.isEmpty());
    QCOMPARE(placeholders(translation), placeholders(source));
    QCOMPARE(translation.count(QLatin1Char('\n')), source.count(QLatin1Char('\n')));
    QCOMPARE(leadingBlanks(translation), leadingBlanks(source));
    QCOMPARE(trailingBlanks(translation), trailingBlanks(source));
    // The tool tips are written in Czech already; their no-break spaces must survive untouched.
    if (isCzech(source))
        QCOMPARE(translation, source);
}

void TestTranslations::programCatalogueLoadsByLocaleName_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");

    const QString mainWindow = QStringLiteral("MainWindow");
    QTest::newRow("button") << mainWindow << QStringLiteral("Load Last Inventory")
                            << QStringLiteral("Načíst poslední inventuru");
    QTest::newRow("header with line break")
        << QStringLiteral("Inventory") << QStringLiteral("Sold\nQuantity") << QStringLiteral("Prodané\nmnožství");
    QTest::newRow("placeholder") << QStringLiteral("PrintableTableModel") << QStringLiteral("Page %1")
                                 << QStringLiteral("Strana %1");
    const QString tip = QStringLiteral("Umožní editovat položky v\u00a0databázi.");
    QTest::newRow("Czech tool tip") << mainWindow << QStringLiteral("Lets you edit the items of the database.") << tip;
}

void TestTranslations::programCatalogueLoadsByLocaleName()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, expected);

    QTranslator translator;
    QVERIFY(translator.load(QLatin1String("quarmel_") + QLocale(QStringLiteral("cs_CZ")).name(),
                            QStringLiteral(QUARMEL_TRANSLATIONS_DIR)));
    QCOMPARE(translator.translate(context.toUtf8().constData(), source.toUtf8().constData()), expected);
}

void TestTranslations::qtCatalogueLoadsByLocaleName()
{
    const QString dir = QStringLiteral(QUARMEL_TRANSLATIONS_DIR);
    if (!QFile::exists(dir + QLatin1String("/qt_cs_CZ.qm")))
        QSKIP("Qt's Czech translation was not installed when the project was built");

    QTranslator translator;
    QVERIFY(translator.load(QLatin1String("qt_") + QLocale(QStringLiteral("cs_CZ")).name(), dir));
    QCOMPARE(translator.translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ano"));
}

// The user guide tells a tired owner which button to press and shows the window: every name it sets in bold
// must be a text the program shows, and every picture it shows must be there.
void TestTranslations::guideNamesWhatTheWindowShows()
{
    QString error;
    const QList<Message> messages = readCatalogue(QStringLiteral(QUARMEL_TS_FILE), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QFile guide(QStringLiteral(QUARMEL_DOCS_DIR "/user-guide.md"));
    QVERIFY2(guide.open(QIODevice::ReadOnly), qPrintable(guide.errorString()));
    const QString text = QString::fromUtf8(guide.readAll());

    // Texts of Qt's own dialogs, which the program's catalogue does not hold.
    const QStringList qtTexts{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("OK"),
                              QStringLiteral("Show Details...")};
    static const QRegularExpression bold(QStringLiteral("\\*\\*([^*]+)\\*\\*"));
    for (auto it = bold.globalMatch(text); it.hasNext();) {
        const QString name = it.next().captured(1);
        const bool shown = qtTexts.contains(name) ||
                           std::any_of(messages.cbegin(), messages.cend(), [&name](const Message &message) {
                               return QString(message.source).replace(QLatin1Char('\n'), QLatin1Char(' ')) ==
                                      name;
                           });
        QVERIFY2(shown, qPrintable(QStringLiteral("\"%1\" is not a text of the program").arg(name)));
    }
    static const QRegularExpression picture(QStringLiteral("!\\[[^\\]]*\\]\\(([^)]+)\\)"));
    int pictures = 0;
    for (auto it = picture.globalMatch(text); it.hasNext(); ++pictures) {
        const QString file = QStringLiteral(QUARMEL_DOCS_DIR "/") + it.next().captured(1);
        QVERIFY2(QFile::exists(file), qPrintable(file));
    }
    QVERIFY(pictures > 10);
    // Pictures are told apart by their number in the guide's sources and in the metainfo.
    QHash<QString, QString> numbered;
    const QStringList shots = QDir(QStringLiteral(QUARMEL_DOCS_DIR "/screenshots"))
                                  .entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    for (const QString &shot : shots) {
        const QString number = shot.section(QLatin1Char('-'), 0, 0);
        QVERIFY2(!numbered.contains(number),
                 qPrintable(QStringLiteral("%1 and %2 share a number").arg(numbered.value(number), shot)));
        numbered.insert(number, shot);
    }
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
