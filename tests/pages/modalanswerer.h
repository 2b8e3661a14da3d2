#pragma once

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

// Answers the modal dialogs a page opens, as a user would, from a timer: a file dialog with the
// next file of the list (Cancel when the list is empty), a message box with its default button
// (Ok, or Yes where it asks whether to replace a file). Records what each dialog showed.
class ModalAnswerer : public QObject
{
public:
    struct FileDialogSeen {
        bool save = false;
        QStringList nameFilters;
        QString proposedName; // the name in the file name field when it opened
    };
    struct MessageSeen {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text;
        QString informativeText;
        QString title;
        bool hasParent = false;
    };

    QStringList files; // chosen one after the other
    QList<FileDialogSeen> fileDialogs;
    QList<MessageSeen> messages;

    ModalAnswerer()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::answer);
        m_timer.start();
    }

    void clear()
    {
        files.clear();
        fileDialogs.clear();
        messages.clear();
    }

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            if (!dialog->isVisible())
                return;
            FileDialogSeen seen;
            seen.save = dialog->acceptMode() == QFileDialog::AcceptSave;
            seen.nameFilters = dialog->nameFilters();
            if (auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                seen.proposedName = nameEdit->text();
            fileDialogs << seen;
            if (files.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(files.takeFirst());
            QMetaObject::invokeMethod(dialog, "accept");
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (!box->isVisible())
                return;
            messages << MessageSeen{box->icon(), box->text(), box->informativeText(), box->windowTitle(),
                                    box->parentWidget() != nullptr};
            QAbstractButton *button = box->button(QMessageBox::Yes);
            if (!button)
                button = box->button(QMessageBox::Ok);
            if (!button)
                button = box->defaultButton();
            if (button)
                button->click();
            else
                box->accept();
        }
    }

    QTimer m_timer;
};
