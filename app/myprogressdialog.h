#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>

class QKeyEvent;

// The transfer progress dialog: reports a release of Esc as escapeKey().
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

private:
    QElapsedTimer m_sinceFirstReport;
};
