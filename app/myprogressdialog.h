#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>

class QCloseEvent;
class QKeyEvent;

// The transfer progress dialog: reports a release of Esc as escapeKey(). Closed by the window
// system (its title bar's close button), it acts as its Cancel button: the dialog alone would hide
// and leave the transfer running, with the window open to input again.
//
// setProgress() is what a transfer's progress reports go to. Unlike setValue(), it lets pending
// events run also when the value does not change (a block that is asked again), so that Cancel
// and Esc can stop a transfer that keeps repeating the same block.
class MyProgressDialog : public QProgressDialog
{
    Q_OBJECT
public:
    explicit MyProgressDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    void setProgress(int progress);

signals:
    void escapeKey();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QElapsedTimer m_sinceFirstReport;
};
