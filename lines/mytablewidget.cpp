#include "mytablewidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>

const char *const MyTableWidget::SelectionStyle =
    "selection-background-color: qlineargradient(x1: -0.5, y1: -0.5, x2: 0.9, y2: 0.9,"
    "stop: 0 #00007A, stop: 1 white);selection-color:";

MyTableWidget::MyTableWidget(QWidget *parent)
    : QTableWidget(parent)
{
    setMouseTracking(true);
    setTabKeyNavigation(false);
    const struct {
        QKeySequence keys;
        const char *slot;
    } shortcuts[] = {
        {QKeySequence(Qt::CTRL + Qt::Key_C), SLOT(makeCopy())},
        {QKeySequence(Qt::CTRL + Qt::Key_V), SLOT(makePast())},
        {QKeySequence(Qt::CTRL + Qt::Key_X), SLOT(deleteMakeCopy())},
    };
    for (const auto &s : shortcuts) {
        auto *shortcut = new QShortcut(s.keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, SIGNAL(activated()), this, s.slot);
    }
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setFocusPolicy(Qt::StrongFocus);
    setStyleSheet(QLatin1String(SelectionStyle));
}

MyTableWidget::~MyTableWidget() = default;

void MyTableWidget::makeCopy()
{
    emit control_C();
}

void MyTableWidget::makePast()
{
    emit control_V();
}

void MyTableWidget::deleteMakeCopy()
{
    emit control_X();
}

void MyTableWidget::sendControl_Tab()
{
    emit control_Tab();
}

void MyTableWidget::selectCurrentColumn()
{
    const int column = currentColumn();
    if (column >= 0) {
        for (int row = 0; row < rowCount(); ++row) {
            if (QTableWidgetItem *cell = item(row, column))
                cell->setSelected(true);
        }
    }
    emit sectionPressed(column);
}

void MyTableWidget::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ControlModifier) {
        if (tab)
            QWidget::keyPressEvent(event);
        else if (key == Qt::Key_A)
            QTableWidget::keyPressEvent(event);
        return;
    }
    if (mods & Qt::ShiftModifier) {
        if (tab)
            QWidget::keyPressEvent(event);
        else
            QTableWidget::keyPressEvent(event);
        return;
    }
    if (mods & Qt::AltModifier) {
        if (m_columnSelectKey != 0 && key == m_columnSelectKey)
            selectCurrentColumn();
        return;
    }
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QWidget::keyPressEvent(event);
        break;
    case Qt::Key_Space:
        QTableWidget::keyPressEvent(event);
        emit itemPressed(currentItem());
        break;
    case Qt::Key_Return:
        emit sendModelIndex(currentIndex());
        emit goToCell(currentItem());
        edit(currentIndex(), QAbstractItemView::AllEditTriggers, nullptr);
        QTableWidget::keyPressEvent(event);
        break;
    case Qt::Key_Delete:
        emit deleteKey(currentRow(), currentColumn());
        emit deleteKey();
        break;
    case Qt::Key_Menu:
        emit rightMenu(currentIndex(), QStringLiteral("key"));
        break;
    default:
        QTableWidget::keyPressEvent(event);
        break;
    }
}

void MyTableWidget::keyReleaseEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        emit rowColumnHelp(currentRow(), currentColumn());
        break;
    default:
        break;
    }
    event->accept();
}

void MyTableWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        emit itemSelected();
        emit rightMenu(currentIndex(), QStringLiteral("mouse"));
        QTableWidget::mousePressEvent(event);
    } else if (event->button() == Qt::LeftButton) {
        QTableWidget::mousePressEvent(event);
        emit itemPressed(currentItem());
    } else {
        event->accept();
    }
}

// Counts selected cells, stopping once atLeast are found.
int MyTableWidget::selectedCellCount(int atLeast) const
{
    int count = 0;
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        count += range.width() * range.height();
        if (count >= atLeast)
            break;
    }
    return count;
}

void MyTableWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
    if (selectedCellCount(2) < 2)
        emit sendModelIndex(currentIndex());
}

void MyTableWidget::leaveEvent(QEvent *event)
{
    emit tableLeaved();
    QTableWidget::leaveEvent(event);
}
