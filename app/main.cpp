#include "dialoginteraction.h"
#include "mainwindow.h"
#include "resourcepaths.h"

#include "settings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
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
} // namespace

int main(int argc, char *argv[])
{
    startDebugLog();
    QApplication application(argc, argv);
    // Names the per-user fallback data folder (~/.local/share/Quarmel/Quarmel on Linux).
    QCoreApplication::setOrganizationName(QString::fromLatin1(organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(applicationName));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARMEL_VERSION));
    InteractionScope interaction;

    const QString locale = QLocale::system().name();
    // A catalogue that is missing is no error: the texts then stay as they stand in the program and in Qt.
    QTranslator qtTranslator;
    static_cast<void>(qtTranslator.load(QStringLiteral("qt_") + locale, translationsPath()));
    application.installTranslator(&qtTranslator);

    // Installed last, so the program's own texts take precedence over Qt's.
    QTranslator translator;
    static_cast<void>(translator.load(QStringLiteral("quarmel_") + locale, translationsPath()));
    application.installTranslator(&translator);

    // Only --help and --version: they let a packager or a support call check an installed program without
    // opening the window. Parsed once the translators are in, so that --help speaks the user's language.
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "Stock-taking and takings of a bar with a Quarmel weighing station."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(application);

    MainWindow window;
    window.show();
    const int exitCode = application.exec();
    qInstallMessageHandler(nullptr);
    return exitCode;
}
