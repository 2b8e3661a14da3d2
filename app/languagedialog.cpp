#include "languagedialog.h"

#include "ardobutton.h"
#include "ui_languagedialog.h"

#include <QDebug>
#include <QFile>
#include <QIcon>
#include <QSettings>

namespace {
const char *const QuestionPicture = ":Img/Rsc/Img/Question.png";
const char *const ExitPicture = ":Img/Rsc/Img/App_Exit_64.png";
// Right margin of the form: the Exit button ends 13 pixels before the dialog's edge.
constexpr int RightMargin = 13;
}

LanguageDialog::LanguageDialog(QSettings *settings) : QDialog(nullptr), ui(new Ui::LanguageDialog)
{
    qDebug("Lng Init");
    ui->setupUi(this);
    selectedLanguage = 0;
    this->settings = settings;
    languageButtons.clear();
    makeExitButton();
}

LanguageDialog::~LanguageDialog()
{
    qDeleteAll(languageButtons);
    delete exitButton;
    delete ui;
    qDebug("Lng Destroy");
}

void LanguageDialog::makeExitButton()
{
    exitButton = new ArdoButton(this);
    makeButton(exitButton, QStringLiteral("btnExit"),
               QRect(ExitButtonX, 10, ButtonWidth, ButtonHeight), QStringLiteral("Exit"), QLatin1String(ExitPicture));
    exitButton->setEnabled(true);
    connect(exitButton, SIGNAL(clicked()), this, SLOT(slot_close()));
    connect(this, SIGNAL(rejected()), this, SLOT(slot_close()));
}

void LanguageDialog::setLanguages(const QStringList &names, const QStringList &flagPaths, const QStringList &enabled,
                                  const QStringList &noAskTexts)
{
    languageButtons.clear();
    languageNames = names;
    this->noAskTexts = noAskTexts;
    for (int i = 0; i < names.size(); ++i) {
        auto *button = new ArdoButton(this);
        makeButton(button, QStringLiteral("btnLng") + QChar(49 + i),
                   QRect(FirstButtonX + ButtonStep * i, 10, ButtonWidth, ButtonHeight), stringAt(names, i),
                   stringAt(flagPaths, i));
        languageButtons.append(button);
        button->setEnabled(stringAt(enabled, i) == QLatin1String("YES"));
        connect(button, SIGNAL(signal_Entered(ArdoButton*)), this, SLOT(slot_FocusButton(ArdoButton*)));
        connect(button, SIGNAL(toggled(bool)), this, SLOT(slot_ClickedButton()));
    }
    placeExitButton(names.size());
    ui->checkBox_NewerAsk->setText(stringAt(noAskTexts, 0));
}

// With more flags than fit left of Exit, Exit moves right of the last flag and the dialog widens,
// so that no flag covers Exit or lies outside the dialog.
void LanguageDialog::placeExitButton(int flagCount)
{
    const int exitX = FirstButtonX + ButtonStep * flagCount;
    if (exitX <= ExitButtonX)
        return;
    exitButton->move(exitX, exitButton->y());
    const int widening = exitX + ButtonWidth + RightMargin - width();
    ui->line->resize(ui->line->width() + widening, ui->line->height());
    resize(width() + widening, height());
}

bool LanguageDialog::makeButton(ArdoButton *button, const QString &objectName, const QRect &rect,
                                const QString &text, const QString &iconPath)
{
    qDebug().noquote() << QStringLiteral("make btn: \"%1\"").arg(objectName);
    button->setObjectName(objectName);
    button->setEnabled(false);
    button->setGeometry(rect);
    QFont font = button->font();
    font.setBold(true);
    font.setWeight(75);
    button->setFont(font);
    button->setText(text);
    button->setMouseTracking(true);
    button->setAutoFillBackground(false);
    const QString picture = QFile::exists(iconPath) ? iconPath : QString::fromLatin1(QuestionPicture);
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(48, 48));
    button->setCheckable(true);
    button->setChecked(false);
    button->setAutoExclusive(false);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setArrowType(Qt::NoArrow);
    return true;
}

QString LanguageDialog::stringAt(const QStringList &list, int index)
{
    if (list.isEmpty())
        return QStringLiteral("List is empty");
    if (index < 0 || index >= list.size())
        return QStringLiteral("List index out of range");
    return list.at(index);
}

void LanguageDialog::slot_FocusButton(ArdoButton *button)
{
    if (languageNames.isEmpty())
        return;
    const int k = languageNames.indexOf(button->text());
    if (k >= 0)
        ui->checkBox_NewerAsk->setText(stringAt(noAskTexts, k));
}

void LanguageDialog::slot_ClickedButton()
{
    selectedLanguage = 0;
    for (int i = 0; i < languageNames.size() && i < languageButtons.size(); ++i) {
        if (languageButtons.at(i)->isChecked()) {
            selectedLanguage = i + 1;
            break;
        }
    }
    saveChoice();
    done(selectedLanguage);
    emit signal_Selected(selectedLanguage);
    close();
}

void LanguageDialog::slot_close()
{
    setResult(0);
    close();
    emit signal_Selected(0);
}

void LanguageDialog::saveChoice()
{
    settings->setValue(QStringLiteral("Language"), ui->checkBox_NewerAsk->isChecked() ? selectedLanguage : 0);
    settings->sync();
}

void LanguageDialog::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
