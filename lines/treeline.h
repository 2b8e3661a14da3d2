#pragma once

#include "tableline.h"

#include <QFont>
#include <QList>
#include <QModelIndex>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CustomButton;
class MyComboBox;
class MyLineBoxEdit;
class MyLineEdit;
class MyPushButton;
class QAbstractItemModel;
class QAbstractItemView;
class QComboBox;
class QFrame;
class QLineEdit;
class QMessageBox;
class QTreeView;
class QWidget;
class TreeModel;
class TreePageDefinitions;

// The style texts of the definition files, as tree lines apply them.
namespace TreeStyle {
// FTCOL: "font/colour/" gives "font:<font>;color:<colour>" (text after the last "/" dropped, items
// after the second unused); a text without "/" is a style sheet as it stands.
QString normalStyle(const QString &ftcol);
// FTCOL_DIF: a text with ":" is a style sheet as it stands, anything else a colour name.
QString changedLabelStyle(const QString &ftcolDif);
// The font a label's width is measured in: the application font, made bold with the point size of
// characters 5-6 when FTCOL starts with "b", else with the point size of characters 0-1; a size
// that reads 0 or less is not applied.
QFont measureFont(const QString &ftcol);
}

// One row of a tree page: the head-line row of a head line (line 0) or one of its lines. It builds
// the widgets its definition line describes inside a row frame, shows the image's values in them,
// places the frame into the page's tree view, and from then on writes every edit into the image at
// once, marking the line and its row as changed.
//
// Use, in this order: construct, setTreeModel, setIndexes, setHelpLineEdit, setMessageParent,
// setImage, insertIntoTree (which builds the line); then read bgColor() and bgColorDiff(), hand the
// head line's bgColorDiff() to the lines with setBGColorDiff(), and connect the signals. Building
// writes nothing into the image and marks nothing.
//
// Ownership: once inserted, the row frame and every widget in it belong to the tree view. The line
// owns its on/off pair object, its restore-defaults question (a child of the message parent once
// made) and, while it was never inserted, its row frame. Lines and their tree view may be destroyed
// in either order.
class TreeLine : public TableLine
{
    Q_OBJECT

public:
    // A line that colours row (headLine, line) of the tree model when it is edited.
    TreeLine(int headLine, int line);
    // A line that colours no row (the web line, a spare line).
    TreeLine();
    ~TreeLine() override;

    // ---- collaborators (stored, no other effect) ---------------------------------------------------
    // The image and the help line are the base's: TableLine::setImage, TableLine::setHelpLineEdit.
    void setTreeModel(TreeModel *model);
    void setIndexes(int headLine, int line, TreePageDefinitions *definitions);
    void setMessageParent(QWidget *parent);

    // ---- building ----------------------------------------------------------------------------------
    // createLine(view as a tree view), then the row frame becomes the index widget of
    // (row, 0) under parent.
    void insertIntoTree(int row, const QModelIndex &parent, QAbstractItemModel *model, QAbstractItemView *view);
    // Builds the row from the definition line; once. FRAME sets the width of view's column 0.
    void createLine(QTreeView *view);
    // Makes the item of values whose text is the decimal value current in visible (-1: none).
    static void syncComboIndex(const QStringList &values, QComboBox *visible, int value);

    // ---- what the page and the main window read -----------------------------------------------------
    QString bgColor() const { return m_bgColor; }
    QString bgColorDiff() const { return m_bgColorDiff; }
    void setBGColorDiff(const QString &color) { m_bgColorDiff = color; }

    QString eepromAddress() const { return m_eepromAddress; }
    QString valueType() const { return m_valueType; }
    QString uid() const { return m_uid; }
    // EEADDR of the number editor when its UID is the parameter's; "-1" for a number editor of
    // another UID; "" when the line has no number editor.
    QString flatUpStairsAddress() const { return m_flatUpStairsAddress; }
    QString shiftRangeAddress() const { return m_shiftRangeAddress; }
    QString flatMinAddress() const { return m_flatMinAddress; }
    QString flatMaxAddress() const { return m_flatMaxAddress; }
    QString blocNumberAddress() const { return m_blocNumberAddress; }
    // A number editor whose UID begins with "L" (special flats "L_1", "L_2", ...) and its EEADDR.
    bool isAdditionalNumber() const { return m_isAdditionalNumber; }
    QString additionalNumberAddress() const { return m_additionalNumberAddress; }

    // The last accepted text of a ShiftRange or FlatUpStairs editor; the page's check after a
    // restore-defaults sets them.
    QString shiftRangeText() const { return m_shiftRangeText; }
    void setShiftRangeText(const QString &text) { m_shiftRangeText = text; }
    QString flatUpStairsText() const { return m_flatUpStairsText; }
    void setFlatUpStairsText(const QString &text) { m_flatUpStairsText = text; }

    bool hasInitButton() const { return treeFlag; }
    bool hasNumberEditor() const { return m_hasNumberEditor; }
    bool hasCombo() const { return m_hasCombo; }
    bool hasOnOffButton() const { return m_hasOnOffButton; }
    bool hasTextEditor() const { return m_hasTextEditor; }
    bool isChanged() const { return m_isChanged; }

    // The editors; null where the line has none (the number editor always exists, hidden when the
    // line has no numeric EDIT), and null once the tree view has destroyed them.
    MyLineBoxEdit *numberEditor() const;
    CustomButton *onOffButton() const { return m_onOffButton; }
    MyComboBox *comboBox() const;
    MyLineEdit *textEditor() const;
    MyPushButton *initButton() const;
    // Editors found by UID: "IDD" (number editor or combo box), "IDO" (text editor), "SN" (number
    // editor or value display), "blocNumber" (number editor).
    MyLineBoxEdit *iddEditor() const;
    MyComboBox *iddCombo() const;
    QLineEdit *idoEditor() const;
    QLineEdit *serialNumberWidget() const;
    MyLineBoxEdit *blocNumberEditor() const;

    // ---- the built row, for whoever looks closer --------------------------------------------------
    QFrame *rowFrame() const;
    QList<MyLineEdit *> labels() const;
    int labelCount() const { return m_labels.size(); }
    MyLineEdit *descriptionLabel() const;
    MyLineEdit *valueDisplay() const;
    QMessageBox *questionBox() const;
    QString helpText() const { return m_helpText; }
    QString warningText() const { return m_warningText; }
    int currentValue() const { return m_currentValue; }
    QStringList comboValues() const { return m_comboValues; }
    int comboDefaultIndex() const { return m_comboDefaultIndex; }
    int rowHeadLine() const { return m_rowHeadLine; }
    int rowLine() const { return m_rowLine; }

signals:
    void emitMinMaxString(QString string);
    void buttonBoxAccepted();
    void buttonBoxRejected();
    void widgetEnterPressed();
    void widgetEnterReleased();
    void widgetMouseReleased();
    void defaultButtonClicked();
    void valueIdChanged();
    void updateTables();
    void binData(QString EEpromAddress, int value);
    void binData(QString EEpromAddress, QString value);
    void saveTable();
    void changeHeadLineBG(QString color, int headLine);

public slots:
    // Marks the line edited: isChanged, dataModified, the description label's and the editor's
    // changed styles.
    void setLineFontDifference();
    // Restore defaults: on/off pair to VINIT, number editor to VINIT, combo box to the item whose
    // value is its VINIT (none: unchanged); setDefaultValue restores every kind the line has.
    void setDefaultValueOnOff();
    void setDefaultValueForSpinBox();
    void setDefaultValueForComb();
    void setDefaultValue();
    void setFocusOnMousePress();
    void setHelp();
    // The help line shows the line's HELP text; hideHelp: one blank.
    void viewHelp();
    void hideHelp();
    void enableSpinBox();
    // The window-modal restore-defaults question; Ok emits buttonBoxAccepted() once.
    void showOkCancelFrame();
    void enableWidget();
    void getNewValue(int value);
    // A finished change of a ShiftRange or FlatUpStairs value: remembers it and emits
    // valueIdChanged() when it differs from the last one.
    void sendValueId();
    void updateBinData(QString EEpromAddress, int value);
    void buttonOnOffValue(QString value);
    void updateBinData(QString EEpromAddress, QString value);
    void writeBinData(QString string);
    void sendValueForDefault();
    void writeCombBinData(QString value);
    // Paints the line's row with bgColorDiff().
    void setRowBGColorDiff();

private slots:
    void writeComboItem(int index);

private:
    struct Element;
    void placeWidget(QWidget *widget, int &x, int width) const;
    MyLineEdit *makeLabel(const Element &element, bool right, int &x, int &xr);
    void buildValueDisplay(const Element &element, int &x);
    void buildOnOffButton(const Element &element, int &x);
    void buildNumberEditor(const Element &element, int &x);
    void buildTextEditor(const Element &element, int &x);
    void buildCombo(const Element &element, int &x);
    void buildInitButton(const Element &element, int &x);
    void writeNumber(const QString &address, int value);
    void applyUidRules(const QString &uid, const QString &address);

    // Placement and collaborators.
    int m_rowHeadLine = -1;
    int m_rowLine = -1;
    int m_headLine = 0;
    int m_line = 0;
    TreePageDefinitions *m_definitions = nullptr;
    TreeModel *m_treeModel = nullptr;
    QPointer<QWidget> m_messageParent;
    bool m_built = false;

    // Widgets.
    QPointer<QFrame> m_rowFrame;
    QPointer<QFrame> m_rightFrame;
    QList<QPointer<MyLineEdit>> m_labels;
    QPointer<MyLineEdit> m_descriptionLabel;
    QPointer<MyLineEdit> m_valueDisplay;
    QPointer<MyLineBoxEdit> m_numberEditor;
    QPointer<MyLineEdit> m_textEditor;
    QPointer<MyComboBox> m_comboBox;
    CustomButton *m_onOffButton = nullptr;
    std::vector<std::unique_ptr<CustomButton>> m_onOffButtons;
    QPointer<MyPushButton> m_initButton;
    QPointer<QMessageBox> m_questionBox;
    QPointer<MyLineBoxEdit> m_iddEditor;
    QPointer<MyComboBox> m_iddCombo;
    QPointer<QLineEdit> m_idoEditor;
    QPointer<QLineEdit> m_serialNumberWidget;
    QPointer<MyLineBoxEdit> m_blocNumberEditor;

    // Texts and values from the elements.
    QString m_bgColor;
    QString m_bgColorDiff;
    QString m_helpText;
    QString m_warningText;
    QString m_uid;
    QString m_eepromAddress;
    QString m_valueType;
    QString m_textLength;
    QString m_ftcolDif;
    QString m_styleDiff;
    QString m_onOffDefault;
    int m_numberDefault = 0;
    int m_comboDefaultIndex = -1;
    QStringList m_comboValues;
    int m_currentValue = 0;
    QString m_flatKind;
    QString m_shiftRangeText;
    QString m_flatUpStairsText;
    QString m_flatUpStairsAddress;
    QString m_shiftRangeAddress;
    QString m_flatMinAddress;
    QString m_flatMaxAddress;
    QString m_blocNumberAddress;
    QString m_additionalNumberAddress;

    // Flags (hasInitButton is the base's treeFlag).
    bool m_hasNumberEditor = false;
    bool m_hasTextEditor = false;
    bool m_hasCombo = false;
    bool m_hasOnOffButton = false;
    bool m_isAdditionalNumber = false;
    bool m_isChanged = false;
    bool m_defaultMark = false;
};
