#include "progressdialog.h"
#include "ui_progressdialog.h"

#include "resourcepaths.h"

#include <QMovie>
#include <QPainter>
#include <QStyleOption>

ProgressDialog::ProgressDialog(QWidget *parent, QWidget *coveredWidget)
    : QWidget(parent), ui(new Ui::ProgressDialog), coveredWidget(coveredWidget)
{
    ui->setupUi(this);
    movie = new QMovie(grafikaPath(QStringLiteral("progress.gif")), QByteArray(), this);
    if (movie->isValid()) {
        ui->lblPicture->setMovie(movie);
        movie->start();
    } else {
        ui->lblPicture->clear();
    }
}

ProgressDialog::~ProgressDialog()
{
    delete ui;
}

void ProgressDialog::setText(const QString &text)
{
    ui->lblProgressInfo->setText(text);
}

QString ProgressDialog::text() const
{
    return ui->lblProgressInfo->text();
}

void ProgressDialog::paintEvent(QPaintEvent *)
{
    // Follow the covered widget on every paint, so a resized window never shows the pages beside the overlay.
    if (coveredWidget && geometry() != coveredWidget->geometry())
        setGeometry(coveredWidget->geometry());

    // A plain QWidget subclass paints no style-sheet background unless it asks its style to.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
