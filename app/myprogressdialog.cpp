#include "myprogressdialog.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>

MyProgressDialog::MyProgressDialog(QWidget *parent, Qt::WindowFlags flags)
    : QProgressDialog(parent, flags)
{
}

void MyProgressDialog::setProgress(int progress)
{
    if (!m_sinceFirstReport.isValid())
        m_sinceFirstReport.start();
    if (progress != value()) {
        setValue(progress);
        return;
    }
    // The same value again: setValue() would return at once. Show the dialog when it is due,
    // as setValue() would, and let the user's input through while it is modal.
    if (!isVisible() && m_sinceFirstReport.elapsed() >= minimumDuration())
        show();
    if (isVisible() && isModal())
        QCoreApplication::processEvents();
}

void MyProgressDialog::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        emit escapeKey();
    QWidget::keyReleaseEvent(event);
}

void MyProgressDialog::closeEvent(QCloseEvent *event)
{
    auto *cancel = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    if (!cancel || !isVisible()) {
        QProgressDialog::closeEvent(event);
        return;
    }
    event->ignore();
    cancel->click();
}
