#pragma once

#include <QDialog>

namespace Ui {
class ErrorBox;
}

// The program's own modal message: a title, one line of text and OK.
class ErrorBox : public QDialog
{
    Q_OBJECT

public:
    explicit ErrorBox(QWidget *parent = nullptr);
    ~ErrorBox() override;

    void setMessage(const QString &title, const QString &text);
    void setMessage(const QString &text);

private:
    Ui::ErrorBox *ui = nullptr;
};
