#pragma once
#include <QTextBrowser>
#include <QUrl>

namespace Platform {

// The embedded help and manual view: shows a local HTML page of the data tree, or an address.
// Callers set its parent, geometry, object name and focus, and tell it its page with navigate().
//
// Local pages, their pictures and style sheets and the pages their links lead to are found on disk
// whatever letter case the data gives them (resolveDataPath); a page that is not there shows its
// address as plain text. List numbers and bullets look alike, whatever text their item begins
// with. Nothing is ever fetched from the web: a web address given to navigate()
// shows as a link, and a click on it, like a click on a web link inside a page, opens the address
// in the system's browser (QDesktopServices::openUrl).
class HelpView : public QTextBrowser
{
    Q_OBJECT

public:
    explicit HelpView(QWidget *parent = nullptr);

    // Shows the page at address: a local file path (a leading "/" means below the working
    // directory), a "file:" URL or an http(s) address.
    void navigate(const QString &address);

    // True for an http or https address, letter case ignored.
    static bool isWebAddress(const QUrl &url);

    // Reads local resources through resolveDataPath; web resources give nothing.
    QVariant loadResource(int type, const QUrl &name) override;

private slots:
    void followLink(const QUrl &link);

private:
    void showLocal(const QString &path, const QString &fragment, const QString &address);
    // Gives every list item's number or bullet the item's own format, as a browser draws it.
    void plainListMarkers();
    void showWebAddress(const QUrl &url);
};

} // namespace Platform
