#pragma once

#include "../definitions/fixture.h"
#include "globals.h"
#include "mylineboxedit.h"
#include "operationbin.h"
#include "treeline.h"
#include "treemodel.h"
#include "treepagedefinitions.h"
#include "xmldefinition.h"

#include <QLineEdit>
#include <QPointer>
#include <QStandardItemModel>
#include <QTreeView>
#include <QtTest>

#include <memory>
#include <vector>

// Definition texts for one tree page.
namespace TreeXml {

// A HEAD_LINE: the head line's elements and one element text per LINE.
inline QString head(const QString &definition, const QStringList &lines = {})
{
    QString text = QStringLiteral("<HEAD_LINE><HEAD_LINE_DEF>") + definition + QStringLiteral("</HEAD_LINE_DEF>");
    for (const QString &line : lines)
        text += QStringLiteral("<LINE>") + line + QStringLiteral("</LINE>");
    return text + QStringLiteral("</HEAD_LINE>");
}

// A whole definition file whose page 0 is a TREE_LIST (or WEB_LIST) of the given head lines.
inline QByteArray file(const QString &heads, const QString &list = QStringLiteral("TREE_LIST"))
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SYSTEM><NAME>Test unit</NAME>"
                          "<SYSTEM_HELP>/HELP/help.html</SYSTEM_HELP><SYSTEM_TYPE>4820_U</SYSTEM_TYPE>"
                          "<PAGE><PGNAME>Parameters</PGNAME><%2>%1</%2></PAGE></SYSTEM>\n")
        .arg(heads, list)
        .toUtf8();
}

}

// A tree page built as the page builds it: tree model, view, one line per head line and line,
// inserted in file order, rows painted with their BGCOL, every line given its head line's
// BGCOL_DIFF. The image holds 256 bytes given by the test.
class TreeRig
{
public:
    TreeRig()
    {
        setImage(QByteArray(256, '\0'));
        view = std::make_unique<QTreeView>();
        view->resize(800, 600);
        help = std::make_unique<QLineEdit>();
    }

    void setImage(const QByteArray &bytes) { image.loadHex(bytes.toHex()); }

    // Builds page 0 of a file holding heads (HEAD_LINE texts). dataModified starts clear.
    void build(const QString &heads)
    {
        buildFile(files.write(TreeXml::file(heads)), 0);
    }

    // Builds a page of a definition file.
    void buildFile(const QString &path, int page)
    {
        definition = std::make_unique<XmlDefinition>(path);
        accessor = std::make_unique<TreePageDefinitions>(definition.get());
        accessor->load(page);
        model = std::make_unique<TreeModel>(definition.get());
        model->build(page);
        view->setModel(model->model());
        dataModified = false;

        const QVector<int> counts = definition->linesPerHeadLine();
        for (int h = 0; h < model->headIndexes().size(); ++h) {
            lines.emplace_back();
            auto &group = lines.back();
            group.push_back(makeLine(h, 0));
            group[0]->insertIntoTree(h, model->rootIndex(), model->model(), view.get());
            paint(group[0].get(), model->headIndexes()[h]);
            for (int j = 1; j <= counts.value(h); ++j) {
                group.push_back(makeLine(h, j));
                view->expand(model->headIndexes()[h]);
                group[j]->insertIntoTree(j - 1, model->headIndexes()[h], model->model(), view.get());
                paint(group[j].get(), model->model()->index(j - 1, 0, model->headIndexes()[h]));
                group[j]->setBGColorDiff(group[0]->bgColorDiff());
            }
            view->collapse(model->headIndexes()[h]);
        }
    }

    // Builds one head line holding one line of the given elements; line(0, 1) is that line.
    void buildLine(const QString &elements, const QString &headElements = QString())
    {
        build(TreeXml::head(headElements, {elements}));
    }

    TreeLine *line(int head, int line) const { return lines.at(head).at(line).get(); }
    // The background colour name of a row, "" when it has none.
    QString rowColor(int head, int line) const
    {
        const QVariant v = model->model()->data(model->rowIndex(head, line), Qt::BackgroundRole);
        return v.isValid() ? v.value<QColor>().name() : QString();
    }

    Fixture files;
    OperationBin image;
    std::unique_ptr<XmlDefinition> definition;
    std::unique_ptr<TreePageDefinitions> accessor;
    std::unique_ptr<TreeModel> model;
    std::unique_ptr<QLineEdit> help;
    // Members go in reverse order: the lines first, then the view. A test that resets the view
    // destroys it before the lines.
    std::unique_ptr<QTreeView> view;
    std::vector<std::vector<std::unique_ptr<TreeLine>>> lines;

private:
    std::unique_ptr<TreeLine> makeLine(int h, int j)
    {
        auto line = std::make_unique<TreeLine>(h, j);
        line->setTreeModel(model.get());
        line->setIndexes(h, j, accessor.get());
        line->setHelpLineEdit(help.get());
        line->setMessageParent(view.get());
        line->setImage(&image);
        return line;
    }

    void paint(TreeLine *line, const QModelIndex &row)
    {
        if (line->bgColor() != QLatin1String("transparent"))
            model->model()->setData(row, QColor(line->bgColor()), Qt::BackgroundRole);
    }
};

// The part of a tree page that the restore-defaults button needs: the restore connections and the
// queued flat-numbering check, wired as the page wires them, and the page-update notification.
class RestorePage : public QObject
{
    Q_OBJECT
public:
    explicit RestorePage(TreeRig &rig) : m_rig(rig)
    {
        for (auto &group : rig.lines) {
            TreeLine *first = group.size() > 1 ? group[1].get() : nullptr;
            for (auto &owned : group) {
                TreeLine *line = owned.get();
                connect(line, SIGNAL(defaultButtonClicked()), line, SLOT(showOkCancelFrame()));
                connect(line, SIGNAL(valueIdChanged()), this, SLOT(emitPageNumber()));
                if (!first)
                    continue;
                if (first->hasInitButton()) {
                    const QString name = line->objectName();
                    if (name == QLatin1String("button"))
                        connect(first, SIGNAL(buttonBoxAccepted()), line, SLOT(setDefaultValueOnOff()));
                    else if (name == QLatin1String("spinBox"))
                        connect(first, SIGNAL(buttonBoxAccepted()), line, SLOT(setDefaultValueForSpinBox()));
                    else if (name == QLatin1String("comboBox"))
                        connect(first, SIGNAL(buttonBoxAccepted()), line, SLOT(setDefaultValueForComb()));
                }
                if (line->hasInitButton())
                    connect(first, SIGNAL(buttonBoxAccepted()), this, SLOT(checkUpStairsShiftRangeValues()),
                            Qt::QueuedConnection);
            }
        }
        if (!rig.lines.empty())
            connect(this, SIGNAL(checkCondition()), rig.line(0, 0), SIGNAL(valueIdChanged()), Qt::QueuedConnection);
    }

    QStringList log; // "check" for every check, "update" for every page-update notification

signals:
    void checkCondition();

public slots:
    void emitPageNumber() { log << QStringLiteral("update"); }

    void checkUpStairsShiftRangeValues()
    {
        log << QStringLiteral("check");
        bool shift = false, stairs = false;
        for (auto &group : m_rig.lines)
            for (std::size_t j = 1; j < group.size(); ++j) {
                TreeLine *line = group[j].get();
                const QString text = line->numberEditor() ? line->numberEditor()->text() : QString();
                if (line->uid() == QLatin1String("ShiftRange")) {
                    shift = line->shiftRangeText() != text;
                    if (shift)
                        line->setShiftRangeText(text);
                } else if (line->uid() == QLatin1String("FlatUpStairs")) {
                    stairs = line->flatUpStairsText() != text;
                    if (stairs)
                        line->setFlatUpStairsText(text);
                }
            }
        if (shift || stairs)
            emit checkCondition();
    }

private:
    TreeRig &m_rig;
};
