#include "settingsdialog.h"

#include "passwordstore.h"
#include "storesync.h"

#include "interaction.h"
#include "settings.h"
#include "store.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

SettingsDialog::SettingsDialog(const QString &dataFolder, StoreSync *sync, PasswordStore *passwords,
                               QWidget *parent)
    : QDialog(parent), folder(dataFolder), sync(sync), passwords(passwords)
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(tr("Settings"));

    toleranceBox = new QSpinBox(this);
    toleranceBox->setObjectName(QStringLiteral("sbTolerance"));
    toleranceBox->setRange(0, 1000);
    toleranceBox->setSuffix(QStringLiteral(" g"));
    toleranceBox->setValue(fullWeightTolerance());
    toleranceBox->setToolTip(tr("A weighing heavier than the full bottle by more than this is pointed out as "
                                "doubtful."));
    auto *counting = new QFormLayout;
    counting->addRow(tr("&Full-weight tolerance:"), toleranceBox);

    const ServerConnection kept = ServerConnection::load();
    const auto field = [this](const char *name, const QString &text, const QString &tip) {
        auto *edit = new QLineEdit(text, this);
        edit->setObjectName(QLatin1String(name));
        edit->setToolTip(tip);
        return edit;
    };
    host = field("leServerHost", kept.host,
                 tr("The name or address of the computer with the shared database; empty for none."));
    port = new QSpinBox(this);
    port->setObjectName(QStringLiteral("sbServerPort"));
    port->setRange(1, 65535);
    port->setValue(kept.port);
    port->setToolTip(tr("The port the database server listens on; 5432 unless its owner changed it."));
    database = field("leServerDatabase", kept.database, tr("The name of the shared database on the server."));
    login = field("leServerLogin", kept.login, tr("The login the owner of the server made for this bar."));
    passwordEdit = field("leServerPassword", QString(),
                         tr("Kept in the desktop's keyring, or in a file only you may read; never shown."));
    passwordEdit->setEchoMode(QLineEdit::Password);

    Store::Identity identity;
    QString reason;
    barFixed = Store::readIdentity(folder, &identity, &reason) && !identity.bar.isEmpty();
    barEdit = field("leServerBar", identity.bar,
                    barFixed ? tr("This data folder belongs to this bar; it is named once, at the first "
                                  "connection.")
                             : tr("The bar this computer counts for; every computer of one bar gives the "
                                  "same name."));
    barEdit->setReadOnly(barFixed);

    testButton = new QPushButton(tr("&Test Connection"), this);
    testButton->setObjectName(QStringLiteral("pbTestConnection"));
    testButton->setToolTip(tr("Connects to the server once with these settings and tells how it went."));
    testResult = new QLabel(this);
    testResult->setObjectName(QStringLiteral("lblTestResult"));
    testResult->setWordWrap(true);
    connect(testButton, &QPushButton::clicked, this, &SettingsDialog::testConnection);
    if (sync)
        connect(sync, &StoreSync::tested, this, &SettingsDialog::showTest);

    auto *server = new QGroupBox(tr("Shared server"), this);
    auto *form = new QFormLayout(server);
    form->addRow(tr("&Host:"), host);
    form->addRow(tr("P&ort:"), port);
    form->addRow(tr("&Database:"), database);
    form->addRow(tr("&Login:"), login);
    form->addRow(tr("Pass&word:"), passwordEdit);
    form->addRow(tr("&Bar:"), barEdit);
    form->addRow(testButton, testResult);
    auto *note = new QLabel(tr("Counting never needs the server: saves made while it cannot be reached are "
                               "sent later."),
                            server);
    note->setWordWrap(true);
    form->addRow(note);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(counting);
    layout->addWidget(server);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());

    host->setAccessibleName(tr("Server host"));
    port->setAccessibleName(tr("Server port"));
    database->setAccessibleName(tr("Server database"));
    login->setAccessibleName(tr("Server login"));
    passwordEdit->setAccessibleName(tr("Server password"));
    barEdit->setAccessibleName(tr("Bar name"));
    testResult->setAccessibleName(tr("Connection test result"));
    toleranceBox->setAccessibleName(tr("Full-weight tolerance"));

    if (passwords && kept.isSet()) {
        keptKey = kept.passwordKey();
        connect(passwords, &PasswordStore::readFinished, this,
                [this](const QString &key, bool found, const QString &password) {
                    // Typed meanwhile: what the user typed wins.
                    if (found && key == keptKey && passwordEdit->text().isEmpty())
                        passwordEdit->setText(password);
                });
        passwords->read(keptKey);
    }
}

int SettingsDialog::tolerance() const
{
    return toleranceBox->value();
}

ServerConnection SettingsDialog::connection() const
{
    ServerConnection connection;
    connection.host = host->text().trimmed();
    connection.port = port->value();
    connection.database = database->text().trimmed();
    connection.login = login->text().trimmed();
    return connection;
}

QString SettingsDialog::password() const
{
    return passwordEdit->text();
}

QString SettingsDialog::bar() const
{
    return barEdit->text().trimmed();
}

bool SettingsDialog::check(QString *problem) const
{
    const ServerConnection server = connection();
    const bool any = !server.host.isEmpty() || !server.database.isEmpty() || !server.login.isEmpty();
    if (!any)
        return true;
    if (!server.isSet()) {
        *problem = tr("Please fill in the host, the database and the login, or leave all three empty.");
        return false;
    }
    if (!barFixed && !Store::validBarName(bar(), problem)) {
        *problem = tr("Please name the bar this computer counts for: %1").arg(*problem);
        return false;
    }
    return true;
}

void SettingsDialog::testConnection()
{
    QString problem;
    if (!connection().isSet()) {
        testResult->setText(tr("Please fill in the host, the database and the login."));
        return;
    }
    if (!sync)
        return;
    testButton->setEnabled(false);
    testResult->setText(tr("Connecting..."));
    sync->test(connection(), password());
}

void SettingsDialog::showTest(const Store::Outcome &outcome, const QString &loginBar)
{
    testButton->setEnabled(true);
    if (!outcome.ok()) {
        testResult->setText(tr("Not connected: %1").arg(outcome.reason));
        return;
    }
    // A bar's login says which bar it is; the owner's login reads every bar.
    if (!barFixed && barEdit->text().trimmed().isEmpty() && !loginBar.isEmpty())
        barEdit->setText(loginBar);
    testResult->setText(loginBar.isEmpty() ? tr("Connected with the owner's login.")
                                           : tr("Connected as a login of the bar %1.").arg(loginBar));
}

void SettingsDialog::accept()
{
    QString problem;
    if (!check(&problem)) {
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Settings"), problem);
        return;
    }
    const ServerConnection server = connection();
    if (server.isSet() && !barFixed) {
        QString reason;
        if (!Store::setBar(folder, bar(), &reason)) {
            Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Settings"),
                                             tr("The bar could not be kept in the data folder: %1").arg(reason));
            return;
        }
    }
    setFullWeightTolerance(tolerance());
    const ServerConnection before = ServerConnection::load();
    server.save();
    if (passwords) {
        connect(passwords, &PasswordStore::writeFinished, this,
                [this](const QString &, bool ok, const QString &reason) { emit passwordKept(ok, reason); });
        // A password kept for a login no longer used would stay behind for nobody.
        if (before.isSet() && before.passwordKey() != server.passwordKey())
            passwords->write(before.passwordKey(), QString());
        if (server.isSet())
            passwords->write(server.passwordKey(), password());
    }
    QDialog::accept();
}
