#pragma once

#include <QFont>

namespace Platform {

// The system dialog font the forms are drawn for, "MS Shell Dlg 2" at 8 points. Where that family
// is missing, narrow faces of similar width stand in (Tahoma, then DejaVu Sans Condensed), so that
// texts sized for it fit their widgets; with none of them the system substitutes as usual.
QFont dialogFont();

}
