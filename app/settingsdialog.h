#pragma once

#include "serverconnection.h"

#include <QDialog>

class PasswordStore;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class StoreSync;

namespace Store {
struct Outcome;
}

// Settings...: the full-weight tolerance, and the shared server this data folder sends its saves to, with the
// bar the folder belongs to. The bar is named once, at the first connection; after that it is shown only.
// Accepting keeps everything: the tolerance and the connection in the user's settings, the password through
// PasswordStore, the bar in the data folder.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SettingsDialog(const QString &dataFolder, StoreSync *sync, PasswordStore *passwords,
                   QWidget *parent = nullptr);

    int tolerance() const;
    ServerConnection connection() const;
    QString password() const;
    QString bar() const;

    void accept() override;

signals:
    // The password was written (or could not be, with the reason).
    void passwordKept(bool ok, const QString &reason);

private:
    void testConnection();
    void showTest(const Store::Outcome &outcome, const QString &loginBar);
    bool check(QString *problem) const;

    QString folder;
    StoreSync *sync = nullptr;
    PasswordStore *passwords = nullptr;
    QString keptKey;     // the key the shown password was read under
    bool barFixed = false;
    QSpinBox *toleranceBox = nullptr;
    QLineEdit *host = nullptr;
    QSpinBox *port = nullptr;
    QLineEdit *database = nullptr;
    QLineEdit *login = nullptr;
    QLineEdit *passwordEdit = nullptr;
    QLineEdit *barEdit = nullptr;
    QPushButton *testButton = nullptr;
    QLabel *testResult = nullptr;
};
