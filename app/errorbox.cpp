#include "errorbox.h"
#include "ui_errorbox.h"

#include "resourcepaths.h"

#include <QIcon>
#include <QPushButton>

ErrorBox::ErrorBox(QWidget *parent) : QDialog(parent), ui(new Ui::ErrorBox)
{
    ui->setupUi(this);
    setWindowIcon(QIcon(grafikaPath(QStringLiteral("iconQuarmel.png"))));
    connect(ui->pbOK, &QPushButton::clicked, this, &ErrorBox::close);
}

ErrorBox::~ErrorBox()
{
    delete ui;
}

void ErrorBox::setMessage(const QString &title, const QString &text)
{
    setWindowTitle(title);
    ui->lblErrorText->setText(text);
}

void ErrorBox::setMessage(const QString &text)
{
    setMessage(tr("Error"), text);
}
