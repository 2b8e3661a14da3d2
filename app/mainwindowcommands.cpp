// The help views, the menu commands and their shortcuts, the unsaved-data question, the window
// events, the about box and the page-set sound.

#include "mainwindow.h"

#include "datapaths.h"
#include "globals.h"
#include "helpview.h"
#include "mymessagebox.h"
#include "sound.h"
#include "ui_mainwindowclass.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>

namespace {

Platform::HelpView *makeHelpView(QWidget *parent, const QRect &geometry)
{
    auto *view = new Platform::HelpView(parent);
    view->setObjectName(QStringLiteral("WebBrowser"));
    view->setFocusPolicy(Qt::StrongFocus);
    view->setGeometry(geometry);
    return view;
}

}

void MainWindow::createHelpBrowser(const QString &page)
{
    ui->backGroundFrame->hide();
    startHelpView = makeHelpView(ui->centralWidget, QRect(0, 120, 800, 440));
    startHelpView->navigate(getWorkingDirPath(page));
    startHelpView->show();
}

// Each page set navigates its help view once; showing it again only shows it.
void MainWindow::showHelpPage(const QString &page)
{
    if (!helpView) {
        helpView = makeHelpView(ui->centralWidget, QRect(0, 0, 800, 550));
        helpView->navigate(getWorkingDirPath(page));
    }
    helpView->show();
    enableDeleteAction(false);
}

void MainWindow::subMenuActionSlot(QAction *action)
{
    const QString name = action->objectName();
    // The close takes the pass itself, from the menu as from the window system.
    if (name == QLatin1String("exitAction")) {
        close();
        return;
    }
    const RoadGate::RoadPass road = roadGate.enterRoad();
    if (!road)
        return;
    // Each command takes the focus from the pages (a box, the manual) or reads them.
    commitPageEdits();
    if (name == QLatin1String("deleteMenu")) {
        if (dataModified && !askDoNotSave())
            return;
        dataModified = false;
        deletePages();
        ui->buttonSave->setEnabled(false);
        ui->buttonSaveAs->setEnabled(false);
        ui->plainTextEdit->clear();
        setWindowTitle(QStringLiteral(" TKV-05  "));
    } else if (name == QLatin1String("backTo")) {
        if (helpView)
            helpView->hide();
        if (pageTabWidget) {
            pageTabWidget->show();
            enableDeleteAction(true);
            ui->centralWidget->show();
        } else {
            enableDeleteAction(false);
        }
        if (QAction *back = menuAction(QStringLiteral("backTo")))
            back->setEnabled(false);
        emit helpActionState(true);
    } else if (name == QLatin1String("helpAction")) {
        showHelpPage(modelHelpPage);
        ui->backGroundFrame->hide();
        if (pageTabWidget)
            pageTabWidget->hide();
        emit helpActionState(false);
        if (QAction *back = menuAction(QStringLiteral("backTo")))
            back->setEnabled(true);
    } else if (name == QLatin1String("aboutAction")) {
        showAboutBox();
    }
}

QAction *MainWindow::menuAction(const QString &objectName) const
{
    const QList<QAction *> actions = ui->menu_1->actions();
    for (QAction *action : actions) {
        if (action->objectName() == objectName)
            return action;
    }
    return nullptr;
}

void MainWindow::setState(bool state)
{
    enableDeleteAction(state);
}

void MainWindow::enableDeleteAction(bool state)
{
    if (QAction *action = menuAction(QStringLiteral("deleteMenu")))
        action->setEnabled(state);
}

void MainWindow::enableHelpAction(bool state)
{
    if (QAction *action = menuAction(QStringLiteral("helpAction")))
        action->setEnabled(state);
}

// A menu shortcut runs its entry's command, and only while the entry is enabled.
void MainWindow::emitEnabledAction(const QString &objectName)
{
    QAction *action = menuAction(objectName);
    if (action && action->isEnabled())
        emit currentAction(action);
}

void MainWindow::showInstruction()
{
    emitEnabledAction(QStringLiteral("helpAction"));
}

void MainWindow::deleteSystem()
{
    emitEnabledAction(QStringLiteral("deleteMenu"));
}

void MainWindow::backTo()
{
    emitEnabledAction(QStringLiteral("backTo"));
}

void MainWindow::aboutProgram()
{
    emitEnabledAction(QStringLiteral("aboutAction"));
}

void MainWindow::appExit()
{
    emitEnabledAction(QStringLiteral("exitAction"));
}

void MainWindow::editComboBox()
{
    ui->comboScan->showPopup();
}

void MainWindow::clearStatus()
{
    ui->statusBar->clearMessage();
}

bool MainWindow::askDoNotSave()
{
    return showPlainBox(QMessageBox::Question, ASK_DATA_NOT_SAVED, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    const RoadGate::RoadPass road = roadGate.enterRoad();
    if (!road) {
        event->ignore();
        return;
    }
    commitPageEdits();
    if (!dataModified || askDoNotSave())
        event->accept();
    else
        event->ignore();
}

// Return opens the port list, and clicks Save visibly: that animated click is the only click the
// key gives, though the button is auto-default.
bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return) {
        if (watched == ui->comboScan) {
            ui->comboScan->showPopup();
            return true;
        }
        if (watched == ui->buttonSave) {
            ui->buttonSave->animateClick(100);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event);
}

// The about text, then a link to the language's start help page.
void MainWindow::showAboutBox()
{
    QMessageBox box(ui->centralWidget);
    box.setWindowTitle(QString());
    box.setIconPixmap(QPixmap(Platform::resolveDataPath(QStringLiteral("application/png/logo.png"))));
    box.setTextFormat(Qt::RichText);
    const QString help = Platform::resolveDataPath(getWorkingDirPath(APP_HELP));
    box.setText(ABOUT_MESSAGE + QStringLiteral("   <a href=\"%1\">TKV-05</a>")
                                    .arg(QUrl::fromLocalFile(help).toString(QUrl::FullyEncoded).toHtmlEscaped()));
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void MainWindow::playSound()
{
    Platform::playSound(Platform::resolveDataPath(QStringLiteral("application/media/menu end.wav")));
}
