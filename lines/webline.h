#pragma once

#include "treeline.h"

#include <QList>
#include <QPointer>

#include "helpview.h"

class WebListData;

// The line of a web page: one help view per URL element of its definition line, placed into the
// page's container at (0, 0), 795 x 430, each shown the element's TEXT once. A TEXT that contains
// "http" in any letter case is a web address and is used as it stands; any other is joined
// directly (no separator added) to the working directory.
//
// Use: WebLine(), setIndexes(0, 0, data), setParentWidget(container), createLine(). The views
// belong to the container; the line keeps nothing else.
class WebLine : public TreeLine
{
    Q_OBJECT

public:
    WebLine();

    void setIndexes(int headLine, int line, WebListData *data);
    // The views go into the base's parentWidget (TableLine::setParentWidget).

    // Builds the views; a line without URL elements, or without a parent widget, builds none.
    void createLine();

    // The last view made (the one on top); null when none.
    Platform::HelpView *browser() const { return m_browser; }
    // Every view made, in element order.
    QList<Platform::HelpView *> browsers() const;

    // The address a URL element's TEXT names.
    static QString address(const QString &text);

private:
    int m_webHeadLine = 0;
    int m_webLine = 0;
    WebListData *m_webListData = nullptr;
    QPointer<Platform::HelpView> m_browser;
    QList<QPointer<Platform::HelpView>> m_browsers;
};
