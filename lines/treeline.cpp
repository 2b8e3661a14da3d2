#include "treeline.h"

#include "custombutton.h"
#include "datapaths.h"
#include "globals.h"
#include "mycombobox.h"
#include "mylineboxedit.h"
#include "mylineedit.h"
#include "mypushbutton.h"
#include "operationbin.h"
#include "screengeometry.h"
#include "slotlists.h"
#include "treemodel.h"
#include "treepagedefinitions.h"
#include "widgetstyle.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QMessageBox>
#include <QPixmap>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

const int RowHeight = 25;
const char InitButtonStyle[] =
    "QPushButton{background-color:palette(button);border:1px solid palette(dark);border-radius:3px;}"
    "QPushButton:pressed{background-color:palette(mid);}"
    "QPushButton:focus{border-color:palette(highlight);}";

// A slot text read as a decimal number; anything else reads 0.
int decimal(const QString &text)
{
    return text.toInt(nullptr, 10);
}

// A text field without the blanks around it. A field never written holds NUL characters, which
// count as blanks: left in the editor they would fill it up invisibly.
QString trimmedField(const QString &field)
{
    int first = 0, last = field.size();
    auto blank = [](QChar c) { return c.isSpace() || c.isNull(); };
    while (first < last && blank(field.at(first)))
        ++first;
    while (last > first && blank(field.at(last - 1)))
        --last;
    return field.mid(first, last - first);
}

QString uidParameter(const QString &uid, const QString &name, const QString &address)
{
    return uid == name ? address : QStringLiteral("-1");
}

}

namespace TreeStyle {

QString normalStyle(const QString &ftcol)
{
    if (!ftcol.contains(QLatin1Char('/')))
        return ftcol;
    const QStringList items = TableLine::splitList(ftcol);
    return QStringLiteral("font:") + items.value(0) + QStringLiteral(";color:") + items.value(1);
}

QString changedLabelStyle(const QString &ftcolDif)
{
    return ftcolDif.contains(QLatin1Char(':')) ? ftcolDif : QStringLiteral("color:") + ftcolDif;
}

QFont measureFont(const QString &ftcol)
{
    QFont font = QGuiApplication::font();
    int size = 0;
    if (ftcol.startsWith(QLatin1Char('b'))) {
        font.setWeight(QFont::Bold);
        size = decimal(ftcol.mid(5, 2));
    } else {
        size = decimal(ftcol.left(2));
    }
    if (size > 0)
        font.setPointSize(size);
    return font;
}

}

// One element of the definition line: its tag and its slots, read by attribute name.
struct TreeLine::Element {
    const QString &tag;
    const TreeElementSlots &values;

    QString operator[](const char *attribute) const
    {
        const int slot = DefinitionSlots::treeSlot(tag, QLatin1String(attribute));
        return slot >= 0 && slot < int(values.size()) ? values[slot] : QString();
    }
    int number(const char *attribute) const { return decimal((*this)[attribute]); }
    QString style() const { return TreeStyle::normalStyle((*this)["FTCOL"]); }
};

TreeLine::TreeLine(int headLine, int line)
    : TreeLine()
{
    m_rowHeadLine = headLine;
    m_rowLine = line;
}

TreeLine::TreeLine()
{
    m_rowFrame = new QFrame;
    m_numberEditor = new MyLineBoxEdit(m_rowFrame);
    m_numberEditor->setMouseTracking(false);
    m_numberEditor->hide();
}

TreeLine::~TreeLine()
{
    // The question, once made, is a child of the message parent; it goes here unless that parent
    // took it along already.
    delete m_questionBox.data();
    // The pair's widgets stand in the row frame; destroying the pair takes them out of it.
    m_onOffButtons.clear();
    // A row frame that never became an index widget has no parent and is the line's own.
    if (m_rowFrame && !m_rowFrame->parentWidget())
        delete m_rowFrame.data();
}

void TreeLine::setTreeModel(TreeModel *model)
{
    m_treeModel = model;
}

void TreeLine::setIndexes(int headLine, int line, TreePageDefinitions *definitions)
{
    m_headLine = headLine;
    m_line = line;
    m_definitions = definitions;
}

void TreeLine::setMessageParent(QWidget *parent)
{
    m_messageParent = parent;
}

void TreeLine::insertIntoTree(int row, const QModelIndex &parent, QAbstractItemModel *model, QAbstractItemView *view)
{
    createLine(qobject_cast<QTreeView *>(view));
    if (model && view && m_rowFrame)
        view->setIndexWidget(model->index(row, 0, parent), m_rowFrame);
}

void TreeLine::createLine(QTreeView *view)
{
    if (m_built || !m_rowFrame)
        return;
    m_built = true;
    m_rowFrame->setStyleSheet(QStringLiteral("background-color:transparent"));
    if (m_definitions) {
        // Attributes first, then tags: both are the accessor's buffers, read during this call only.
        const TreeLineSlots &attributes = m_definitions->lineAttributes(m_headLine, m_line);
        const TreeLineTags &tags = m_definitions->lineTags(m_headLine, m_line);
        int x = 0;
        int xr = 0;
        for (int e = 0; e < TreeShape::Elements; ++e) {
            const Element element{tags[e], attributes[e]};
            const QString &tag = tags[e];
            if (tag == QLatin1String("BGCOL")) {
                m_bgColor = element["COLOR"];
                if (m_bgColor.isEmpty())
                    m_bgColor = QStringLiteral("transparent");
            } else if (tag == QLatin1String("BGCOL_DIFF")) {
                m_bgColorDiff = element["COLOR"];
            } else if (tag == QLatin1String("FRAME")) {
                if (view)
                    view->setColumnWidth(0, ScreenGeometry::extent(element.number("WIDTH")));
            } else if (tag == QLatin1String("HELP")) {
                m_helpText = element["TXT"];
            } else if (tag == QLatin1String("TEXT")) {
                makeLabel(element, false, x, xr);
            } else if (tag == QLatin1String("TEXTR")) {
                makeLabel(element, true, x, xr);
            } else if (tag == QLatin1String("VALUE")) {
                buildValueDisplay(element, x);
            } else if (tag == QLatin1String("BUTTON_ON_OFF")) {
                buildOnOffButton(element, x);
            } else if (tag == QLatin1String("EDIT")) {
                const QString type = element["VTYPE"];
                if (type == QLatin1String("U16") || type == QLatin1String("U8"))
                    buildNumberEditor(element, x);
                else if (type == QLatin1String("STRING"))
                    buildTextEditor(element, x);
            } else if (tag == QLatin1String("CBEDIT")) {
                buildCombo(element, x);
            } else if (tag == QLatin1String("BUTTON_INIT")) {
                buildInitButton(element, x);
            }
        }
    }
    if (m_bgColor.isEmpty())
        m_bgColor = QStringLiteral("transparent");
}

// Places widget at (x, 0) with width in its frame and advances x; a negative width places
// nothing, and the widget, which would lie over its neighbours, is hidden.
void TreeLine::placeWidget(QWidget *widget, int &x, int width) const
{
    if (width < 0) {
        widget->hide();
        return;
    }
    widget->setGeometry(ScreenGeometry::rect(x, 0, width, RowHeight));
    x = ScreenGeometry::position(qint64(x) + width);
}

namespace {

void setAlignment(QLineEdit *edit, const QString &pos)
{
    if (pos == QLatin1String("CENTER"))
        edit->setAlignment(Qt::AlignCenter);
    else if (pos == QLatin1String("LEFT"))
        edit->setAlignment(Qt::AlignLeft);
    else if (pos == QLatin1String("RIGHT"))
        edit->setAlignment(Qt::AlignRight);
}

// A read-only display without frame that takes no input: labels and value displays.
void makeDisplay(MyLineEdit *edit, const QString &text, const QString &style, const QString &pos)
{
    edit->setReadOnly(true);
    edit->setText(text);
    edit->setFrame(false);
    edit->setStyleSheet(style);
    setAlignment(edit, pos);
    edit->setEnabled(false);
}

// WIDTH when it reads other than 0, else the width of text in the element's font plus extra.
int displayWidth(int width, const QString &ftcol, const QString &text, int extra)
{
    if (width != 0)
        return width;
    return QFontMetrics(TreeStyle::measureFont(ftcol)).horizontalAdvance(text) + extra;
}

}

MyLineEdit *TreeLine::makeLabel(const Element &element, bool right, int &x, int &xr)
{
    if (right && !m_rightFrame) {
        // Right-hand labels have no place in the row: they are kept in a frame nobody sees.
        m_rightFrame = new QFrame(m_rowFrame);
        m_rightFrame->hide();
    }
    auto *label = new MyLineEdit(right ? m_rightFrame.data() : m_rowFrame.data());
    const QString text = element["TXT"];
    makeDisplay(label, text, element.style(), element["POS"]);
    placeWidget(label, right ? xr : x, displayWidth(element.number("WIDTH"), element["FTCOL"], text, right ? 10 : 0));
    if (!right && text.size() > 10)
        m_descriptionLabel = label;
    connect(label, SIGNAL(lineEditEntered()), this, SLOT(viewHelp()));
    connect(label, SIGNAL(lineEditLeaved()), this, SLOT(hideHelp()));
    m_labels << label;
    return label;
}

void TreeLine::buildValueDisplay(const Element &element, int &x)
{
    if (!m_valueDisplay)
        m_valueDisplay = new MyLineEdit(m_rowFrame);
    const QString text = QString::number(image ? image->readTypedValue(QStringLiteral("U16"), element["EEADDR"]) : 0);
    makeDisplay(m_valueDisplay, text, element.style(), element["POS"]);
    placeWidget(m_valueDisplay, x, displayWidth(element.number("WIDTH"), element["FTCOL"], text, 0));
    m_uid = element["UID"];
    if (m_uid == QLatin1String("SN"))
        m_serialNumberWidget = m_valueDisplay.data();
}

void TreeLine::buildOnOffButton(const Element &element, int &x)
{
    m_onOffButtons.push_back(std::make_unique<CustomButton>(m_rowFrame));
    m_onOffButton = m_onOffButtons.back().get();
    m_onOffButton->setObjectName(QStringLiteral("button"));
    setObjectName(QStringLiteral("button"));
    m_onOffButton->setStyleSheet(element.style());
    m_onOffButton->setTexts(element["VALUE_LIST"]);
    const int width = element.number("WIDTH");
    if (width < 0) {
        if (m_onOffButton->container())
            m_onOffButton->container()->hide();
    } else {
        m_onOffButton->setGeometry(x, 0, width, RowHeight);
        x = ScreenGeometry::position(qint64(x) + width);
    }
    m_ftcolDif = element["FTCOL_DIF"];
    m_styleDiff = element["STYLE_DIFF"];
    m_onOffDefault = element["VINIT"];
    m_eepromAddress = element["EEADDR"];
    m_valueType = element["VTYPE"];
    m_hasOnOffButton = true;
    if (image)
        m_onOffButton->setValue(image->readBit(m_valueType, m_eepromAddress));

    CustomButton *pair = m_onOffButton;
    connect(pair, SIGNAL(buttonClicked()), this, SLOT(setLineFontDifference()));
    connect(pair, SIGNAL(enterPressed()), this, SLOT(setLineFontDifference()));
    connect(pair, SIGNAL(buttonClicked()), this, SLOT(setRowBGColorDiff()));
    connect(pair, SIGNAL(enterPressed()), this, SLOT(setRowBGColorDiff()));
    connect(pair, SIGNAL(buttonEntered()), this, SLOT(viewHelp()));
    connect(pair, SIGNAL(buttonLeaved()), this, SLOT(hideHelp()));
    connect(pair, SIGNAL(enterPressed()), this, SIGNAL(widgetEnterReleased()));
    connect(pair, SIGNAL(mouseReleased()), this, SIGNAL(widgetMouseReleased()));
    connect(pair, SIGNAL(sendOnOff(QString)), this, SLOT(buttonOnOffValue(QString)));
    connect(this, SIGNAL(binData(QString,QString)), this, SLOT(updateBinData(QString,QString)), Qt::UniqueConnection);
}

void TreeLine::applyUidRules(const QString &uid, const QString &address)
{
    m_blocNumberAddress = uidParameter(uid, QStringLiteral("blocNumber"), address);
    if (uid == QLatin1String("blocNumber"))
        m_blocNumberEditor = m_numberEditor.data();
    for (const char *kind : {"ShiftRange", "FlatUpStairs", "FlatMin", "FlatMax"})
        if (uid == QLatin1String(kind))
            m_flatKind = uid;
    m_shiftRangeAddress = uidParameter(uid, QStringLiteral("ShiftRange"), address);
    m_flatUpStairsAddress = uidParameter(uid, QStringLiteral("FlatUpStairs"), address);
    m_flatMinAddress = uidParameter(uid, QStringLiteral("FlatMin"), address);
    m_flatMaxAddress = uidParameter(uid, QStringLiteral("FlatMax"), address);
    if (uid.startsWith(QLatin1Char('L'))) {
        m_isAdditionalNumber = true;
        m_additionalNumberAddress = address;
    }
}

void TreeLine::buildNumberEditor(const Element &element, int &x)
{
    MyLineBoxEdit *editor = m_numberEditor;
    editor->show();
    editor->setObjectName(QStringLiteral("spinBox"));
    setObjectName(QStringLiteral("spinBox"));
    m_hasNumberEditor = true;
    editor->setRange(element.number("VMIN"), element.number("VMAX"));
    editor->setFormat(element["FORMAT"]);
    editor->setStyleSheet(element.style());
    m_ftcolDif = element["FTCOL_DIF"];
    m_styleDiff = element["STYLE_DIFF"];
    placeWidget(editor, x, element.number("WIDTH"));
    m_numberDefault = element.number("VINIT");
    m_eepromAddress = element["EEADDR"];
    m_valueType = element["VTYPE"];
    const QString uid = element["UID"];
    if (uid == QLatin1String("O_M")) {
        editor->setReadOnly(true);
        setObjectName(QStringLiteral("NOEDIT"));
    }
    setAlignment(editor, element["POS"]);
    applyUidRules(uid, m_eepromAddress);

    const int v = image ? image->readTypedValue(m_valueType, m_eepromAddress) : 0;
    editor->setValue(v);
    editor->setCurrentValueText(editor->text());
    editor->restoreIfBelowMinimum();
    m_currentValue = v;
    m_uid = uid;
    if (uid == QLatin1String("FlatUpStairs"))
        m_flatUpStairsText = editor->text();
    else if (uid == QLatin1String("ShiftRange"))
        m_shiftRangeText = editor->text();
    else if (uid == QLatin1String("IDD"))
        m_iddEditor = editor;
    else if (uid == QLatin1String("SN"))
        m_serialNumberWidget = editor;

    const auto unique = Qt::UniqueConnection;
    connect(editor, SIGNAL(valueChanged(int)), this, SLOT(setLineFontDifference()), unique);
    connect(editor, SIGNAL(valueChanged(int)), this, SLOT(setRowBGColorDiff()), unique);
    connect(editor, SIGNAL(spinBoxEntered()), this, SLOT(viewHelp()), unique);
    connect(editor, SIGNAL(spinBoxLeaved()), this, SLOT(hideHelp()), unique);
    connect(editor, SIGNAL(enterPressed()), this, SIGNAL(widgetEnterPressed()), unique);
    connect(editor, SIGNAL(editingFinished()), this, SLOT(sendValueId()), unique);
    connect(editor, SIGNAL(valueChanged(int)), this, SLOT(getNewValue(int)), unique);
    connect(this, SIGNAL(binData(QString,int)), this, SLOT(updateBinData(QString,int)), unique);
}

void TreeLine::buildTextEditor(const Element &element, int &x)
{
    if (!m_textEditor)
        m_textEditor = new MyLineEdit(m_rowFrame);
    MyLineEdit *editor = m_textEditor;
    placeWidget(editor, x, element.number("WIDTH"));
    editor->setMaxLength(element.number("FORMAT"));
    editor->setStyleSheet(element.style());
    m_hasTextEditor = true;
    m_styleDiff = element["STYLE_DIFF"];
    m_ftcolDif = element["FTCOL_DIF"];
    m_textLength = element["FORMAT"];
    m_eepromAddress = element["EEADDR"];
    setAlignment(editor, element["POS"]);
    editor->setText(image ? trimmedField(image->readText(m_textLength, m_eepromAddress)) : QString());
    m_uid = element["UID"];
    if (m_uid == QLatin1String("IDO"))
        m_idoEditor = editor;

    const auto unique = Qt::UniqueConnection;
    connect(editor, SIGNAL(lineEditEntered()), this, SLOT(viewHelp()), unique);
    connect(editor, SIGNAL(lineEditLeaved()), this, SLOT(hideHelp()), unique);
    connect(editor, SIGNAL(enterPressed()), this, SIGNAL(widgetEnterPressed()), unique);
    connect(editor, SIGNAL(textChanged(QString)), this, SLOT(setRowBGColorDiff()), unique);
    connect(editor, SIGNAL(textChanged(QString)), this, SLOT(writeBinData(QString)), unique);
    connect(editor, SIGNAL(editingFinished()), this, SLOT(setLineFontDifference()), unique);
}

void TreeLine::buildCombo(const Element &element, int &x)
{
    if (!m_comboBox)
        m_comboBox = new MyComboBox(m_rowFrame);
    MyComboBox *combo = m_comboBox;
    combo->clear();
    m_comboValues = splitList(element["VALUE_LIST"]);
    placeWidget(combo, x, element.number("WIDTH"));
    combo->addItems(splitList(element["TEXT_LIST"]));
    m_ftcolDif = element["FTCOL_DIF"];
    m_styleDiff = element["STYLE_DIFF"];
    m_eepromAddress = element["EEADDR"];
    m_valueType = element["VTYPE"];
    m_uid = element["UID"];
    if (m_uid == QLatin1String("IDD"))
        m_iddCombo = combo;
    m_hasCombo = true;
    setObjectName(QStringLiteral("comboBox"));
    m_comboDefaultIndex = m_comboValues.indexOf(element["VINIT"]);
    syncComboIndex(m_comboValues, combo, image ? image->readTypedValue(m_valueType, m_eepromAddress) : 0);
    combo->setStyleSheet(element.style());

    const auto unique = Qt::UniqueConnection;
    connect(combo, SIGNAL(currentIndexChanged(int)), this, SLOT(writeComboItem(int)), unique);
    connect(combo, SIGNAL(currentIndexChanged(int)), this, SLOT(setRowBGColorDiff()), unique);
    connect(combo, SIGNAL(currentIndexChanged(int)), this, SLOT(setLineFontDifference()), unique);
    connect(combo, SIGNAL(comboEntered()), this, SLOT(viewHelp()), unique);
    connect(combo, SIGNAL(comboLeaved()), this, SLOT(hideHelp()), unique);
}

void TreeLine::buildInitButton(const Element &element, int &x)
{
    if (!m_initButton) {
        m_initButton = new MyPushButton(m_rowFrame);
        m_initButton->setStyle(Platform::buttonStyle());
        // The row's transparent background reaches the button too; this keeps it looking like one.
        m_initButton->setStyleSheet(QLatin1String(InitButtonStyle));
    }
    MyPushButton *button = m_initButton;
    m_warningText = element["WARNING"];
    placeWidget(button, x, element.number("WIDTH"));
    button->setText(element["BUTTON_NAME"]);
    treeFlag = true;

    const auto unique = Qt::UniqueConnection;
    connect(button, SIGNAL(clicked()), this, SIGNAL(defaultButtonClicked()), unique);
    connect(button, SIGNAL(buttonClicked()), this, SIGNAL(defaultButtonClicked()), unique);
    connect(button, SIGNAL(enterReleased()), this, SIGNAL(widgetEnterReleased()), unique);
    connect(button, SIGNAL(mouseReleased()), this, SIGNAL(widgetMouseReleased()), unique);
}

void TreeLine::syncComboIndex(const QStringList &values, QComboBox *visible, int value)
{
    if (visible)
        visible->setCurrentIndex(values.indexOf(QString::number(value)));
}

// ---- getters of widgets that the tree view may have destroyed ----------------------------------------

MyLineBoxEdit *TreeLine::numberEditor() const { return m_numberEditor; }
MyComboBox *TreeLine::comboBox() const { return m_comboBox; }
MyLineEdit *TreeLine::textEditor() const { return m_textEditor; }
MyPushButton *TreeLine::initButton() const { return m_initButton; }
MyLineBoxEdit *TreeLine::iddEditor() const { return m_iddEditor; }
MyComboBox *TreeLine::iddCombo() const { return m_iddCombo; }
QLineEdit *TreeLine::idoEditor() const { return m_idoEditor; }
QLineEdit *TreeLine::serialNumberWidget() const { return m_serialNumberWidget; }
MyLineBoxEdit *TreeLine::blocNumberEditor() const { return m_blocNumberEditor; }
QFrame *TreeLine::rowFrame() const { return m_rowFrame; }
MyLineEdit *TreeLine::descriptionLabel() const { return m_descriptionLabel; }
MyLineEdit *TreeLine::valueDisplay() const { return m_valueDisplay; }
QMessageBox *TreeLine::questionBox() const { return m_questionBox; }

QList<MyLineEdit *> TreeLine::labels() const
{
    QList<MyLineEdit *> list;
    for (const QPointer<MyLineEdit> &label : m_labels)
        list << label.data();
    return list;
}

// ---- change marking and help ------------------------------------------------------------------------

void TreeLine::setLineFontDifference()
{
    m_isChanged = true;
    dataModified = true;
    if (!m_ftcolDif.isEmpty() && m_descriptionLabel)
        m_descriptionLabel->setStyleSheet(TreeStyle::changedLabelStyle(m_ftcolDif));
    if (m_hasCombo && m_comboBox)
        m_comboBox->setStyleSheet(m_styleDiff);
    else if (m_hasTextEditor && m_textEditor)
        m_textEditor->setStyleSheet(m_styleDiff);
    else if (m_hasNumberEditor && m_numberEditor)
        m_numberEditor->setStyleSheet(m_styleDiff);
    else if (m_hasOnOffButton && m_onOffButton)
        m_onOffButton->setStyleSheet(m_styleDiff);
}

void TreeLine::setRowBGColorDiff()
{
    if (m_bgColorDiff.isEmpty() || !m_treeModel)
        return;
    m_treeModel->setRowColor(m_rowHeadLine, m_rowLine, m_bgColorDiff);
}

void TreeLine::setHelp()
{
}

void TreeLine::viewHelp()
{
    if (helpLineEdit)
        helpLineEdit->setText(m_helpText);
}

void TreeLine::hideHelp()
{
    if (helpLineEdit)
        helpLineEdit->setText(QStringLiteral(" "));
}

void TreeLine::enableSpinBox()
{
    if (m_numberEditor)
        m_numberEditor->setEnabled(true);
}

void TreeLine::enableWidget()
{
    if (m_numberEditor)
        m_numberEditor->clearFocus();
}

void TreeLine::setFocusOnMousePress()
{
    if (!m_numberEditor)
        return;
    m_numberEditor->setFocus(Qt::OtherFocusReason);
    m_numberEditor->setFocusPolicy(Qt::StrongFocus);
}

// ---- restore defaults ---------------------------------------------------------------------------------

void TreeLine::showOkCancelFrame()
{
    if (!m_questionBox) {
        auto *box = new QMessageBox(m_messageParent);
        box->setWindowFlags(box->windowFlags() | Qt::Window);
        box->setWindowModality(Qt::WindowModal);
        box->setIcon(QMessageBox::Question);
        box->setWindowTitle(QStringLiteral("TKV-05"));
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        const QPixmap logo(Platform::resolveDataPath(QStringLiteral("application/png/logo.png")));
        if (!logo.isNull())
            box->setWindowIcon(logo);
        connect(box->button(QMessageBox::Ok), SIGNAL(clicked()), this, SIGNAL(buttonBoxAccepted()));
        m_questionBox = box;
    }
    m_questionBox->setText(m_warningText);
    m_questionBox->exec();
}

void TreeLine::setDefaultValueOnOff()
{
    if (m_onOffButton)
        m_onOffButton->setValue(decimal(m_onOffDefault));
}

void TreeLine::setDefaultValueForSpinBox()
{
    if (!m_hasNumberEditor || !m_numberEditor)
        return;
    m_numberEditor->setValue(m_numberDefault);
    if (m_uid == QLatin1String("FlatUpStairs") || m_uid == QLatin1String("ShiftRange"))
        m_currentValue = m_numberEditor->value();
}

void TreeLine::setDefaultValueForComb()
{
    if (m_hasCombo && m_comboBox && m_comboDefaultIndex >= 0)
        m_comboBox->setCurrentIndex(m_comboDefaultIndex);
}

void TreeLine::setDefaultValue()
{
    if (m_hasOnOffButton)
        setDefaultValueOnOff();
    if (m_hasNumberEditor)
        setDefaultValueForSpinBox();
    if (m_hasCombo)
        setDefaultValueForComb();
}

// ---- writes -----------------------------------------------------------------------------------------

void TreeLine::writeNumber(const QString &address, int value)
{
    if (!image)
        return;
    if (m_valueType == QLatin1String("U8"))
        image->writeInt8(address, value);
    else
        image->writeInt16(address, value);
}

void TreeLine::getNewValue(int value)
{
    emit binData(m_eepromAddress, value);
}

void TreeLine::updateBinData(QString EEpromAddress, int value)
{
    writeNumber(EEpromAddress, value);
}

void TreeLine::buttonOnOffValue(QString value)
{
    emit binData(m_eepromAddress, value);
}

void TreeLine::updateBinData(QString EEpromAddress, QString value)
{
    if (image)
        image->writeBit(EEpromAddress, value);
}

void TreeLine::writeBinData(QString string)
{
    if (!image)
        return;
    image->writeText(m_textLength, string, m_eepromAddress);
    // The image holds the edit from now on, whether or not the editor is left before the window
    // closes: the unsaved-data question must know of it.
    dataModified = true;
}

void TreeLine::writeCombBinData(QString value)
{
    writeNumber(m_eepromAddress, decimal(value));
}

void TreeLine::writeComboItem(int index)
{
    if (index >= 0 && index < m_comboValues.size())
        writeCombBinData(m_comboValues.at(index));
}

void TreeLine::sendValueForDefault()
{
    if (m_flatKind == QLatin1String("ShiftRange") || m_flatKind == QLatin1String("FlatUpStairs"))
        m_defaultMark = true;
}

void TreeLine::sendValueId()
{
    if (m_flatKind != QLatin1String("ShiftRange") && m_flatKind != QLatin1String("FlatUpStairs"))
        return;
    if (!m_numberEditor)
        return;
    const int v = m_numberEditor->value();
    if (v == m_currentValue)
        return;
    m_currentValue = v;
    // The text the editor accepts: Return finishes the edit before the editor re-formats it.
    const QString accepted = MyLineBoxEdit::formatValue(m_numberEditor->format(), v);
    if (m_uid == QLatin1String("ShiftRange"))
        m_shiftRangeText = accepted;
    else if (m_uid == QLatin1String("FlatUpStairs"))
        m_flatUpStairsText = accepted;
    emit valueIdChanged();
}
