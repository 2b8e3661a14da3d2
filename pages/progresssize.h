#pragma once

#include <QProgressDialog>

// Fixes a progress dialog at the given size, made wider where its label needs more room: the
// label's text is never cut off. Call it once the label has its text.
inline void fixProgressDialogSize(QProgressDialog *dialog, int width, int height)
{
    dialog->setFixedSize(qMax(width, dialog->sizeHint().width()), height);
}
