#pragma once

class QStyle;

namespace Platform {

// The one style object of TKV-05: its application style, and that of the on/off halves and the
// restore-defaults button. Plastique where the style plugin is installed, Fusion otherwise. It is
// made on first use, belongs to the application object (and goes with it) and is shared by every
// widget that asks for it; widgets that still use it when it is gone fall back to the application
// style. Needs a QApplication.
QStyle *buttonStyle();

}
