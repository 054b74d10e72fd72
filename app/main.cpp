#include "dialoginteraction.h"
#include "mainwindow.h"
#include "resourcepaths.h"

#include "datafolderlock.h"
#include "interaction.h"
#include "settings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

namespace {
// The optional file log. It stays off unless QUARMEL_DEBUG_LOG is set, because nothing reads it back and a
// bar's back-office machine should not collect a growing file in the program's folder.
QFile debugFile(QStringLiteral("debug.log"));
QTextStream debugStream;

void debugMessageHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    debugStream << QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz: ")) << message << '\n';
    debugStream.flush();
}

void startDebugLog()
{
    if (qEnvironmentVariableIsEmpty("QUARMEL_DEBUG_LOG"))
        return;
    if (!debugFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    debugStream.setDevice(&debugFile);
    qInstallMessageHandler(debugMessageHandler);
}

// Puts the dialog-showing interaction in place for the window's lifetime and takes it away before the
// window's widgets are gone.
class InteractionScope
{
public:
    InteractionScope() { Interaction::setInstance(&dialogs); }
    ~InteractionScope() { Interaction::setInstance(nullptr); }

private:
    DialogInteraction dialogs;
};

// Translations of the program and of Qt's own texts for the user's language. A catalogue that is missing
// is no error: the texts then stay as they stand in the program and in Qt.
void installTranslators(QTranslator &qtTranslator, QTranslator &translator)
{
    const QString locale = QLocale::system().name();
    static_cast<void>(qtTranslator.load(QStringLiteral("qt_") + locale, translationsPath()));
    QCoreApplication::installTranslator(&qtTranslator);
    // Installed last, so the program's own texts take precedence over Qt's.
    const bool translated = translator.load(QStringLiteral("quarmel_") + locale, translationsPath());
    QCoreApplication::installTranslator(&translator);
    // Numbers and dates follow the language the window speaks: a Czech window writes "0,88", and an English
    // one, on a system whose language it cannot speak, "0.88" as its texts ask for. Files keep their points.
    const QLocale::Language language = QLocale::system().language();
    if (!translated && language != QLocale::English && language != QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
}

void setNames()
{
    // Names the per-user fallback data folder (~/.local/share/Quarmel/Quarmel on Linux).
    QCoreApplication::setOrganizationName(QString::fromLatin1(organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(applicationName));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARMEL_VERSION));
}

// Only --help and --version: they let a packager or a support call check an installed program without
// opening the window. Parsed once the translators are in, so that --help speaks the user's language.
void processArguments(const QCoreApplication &application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Stock-taking and takings of a bar with a Quarmel weighing station."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(application);
}

// --help and --version answer without a display (over SSH, in a package check): a QApplication would abort
// there before it could print a line.
bool answersWithoutWindow(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--help" || argument == "-h" || argument == "-?" || argument == "--help-all" ||
            argument == "--version" || argument == "-v")
            return true;
    }
    return false;
}

// The folder is this window's alone while it runs; a second start learns who has it and leaves.
bool holdDataFolder(DataFolderLock &lock)
{
    if (lock.take() != DataFolderLock::Result::Busy)
        return true;
    Interaction::instance()->message(
        nullptr, Interaction::Icon::Warning,
        QCoreApplication::translate("main", "Quarmel is already running"),
        QCoreApplication::translate("main", "%1\n\nOnly one program at a time may work with the data folder, "
                                            "so that neither undoes what the other saves. Close the other "
                                            "program first, then start Quarmel again.")
            .arg(lock.reason()));
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    startDebugLog();
    if (answersWithoutWindow(argc, argv)) {
        QCoreApplication application(argc, argv);
        setNames();
        QTranslator qtTranslator;
        QTranslator translator;
        installTranslators(qtTranslator, translator);
        processArguments(application);
    }
    QApplication application(argc, argv);
    setNames();
    // The desktop's launcher entry: Wayland matches the window by this name, X11 by the window class
    // ("Quarmel", from the application name) that the entry names in StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quarmel.Inventory"));
    InteractionScope interaction;
    QTranslator qtTranslator;
    QTranslator translator;
    installTranslators(qtTranslator, translator);
    processArguments(application);

    DataFolderLock lock(QFileInfo(localFilePath(QLatin1String(DataFile::catalogue))).absolutePath());
    if (!holdDataFolder(lock)) {
        qInstallMessageHandler(nullptr);
        return 1;
    }

    MainWindow window;
    window.show();
    const int exitCode = application.exec();
    qInstallMessageHandler(nullptr);
    return exitCode;
}
