#pragma once
#include <QTextBrowser>

namespace Platform {

// The embedded help and manual view: shows a local HTML page of the data tree, or an address.
// Callers set its parent, geometry, object name and focus, and tell it its page with navigate().
class HelpView : public QTextBrowser
{
    Q_OBJECT

public:
    explicit HelpView(QWidget *parent = nullptr);

    // Shows the page at address: a local file path or an http(s) address.
    void navigate(const QString &address);
};

} // namespace Platform
