#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class ArdoButton;
class QRect;
class QSettings;
namespace Ui { class LanguageDialog; }

// The start-up language choice: one flag button per language of the language table, an Exit
// button and a check box that remembers the choice in the settings ("Language").
//
// A click on an enabled flag chooses that language at once: the choice is saved and
// signal_Selected(n) is emitted with its 1-based number. Exit, Esc and the close button emit
// signal_Selected(0). The check box shows the text of the language under the pointer or the focus.
class LanguageDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LanguageDialog(QSettings *settings);
    ~LanguageDialog() override;

    // Button i belongs to language i + 1; the four lists are read by position.
    void setLanguages(const QStringList &names, const QStringList &flagPaths, const QStringList &enabled,
                      const QStringList &noAskTexts);
    bool makeButton(ArdoButton *button, const QString &objectName, const QRect &rect, const QString &text,
                    const QString &iconPath);
    void makeExitButton();
    void saveChoice();
    static QString stringAt(const QStringList &list, int index);

    // Flag buttons stand 70 pixels apart from x = 20; Exit stands at 440 while six or fewer flags
    // leave it room, otherwise right of the last flag.
    static constexpr int ButtonStep = 70;
    static constexpr int ButtonWidth = 60;
    static constexpr int ButtonHeight = 80;
    static constexpr int FirstButtonX = 20;
    static constexpr int ExitButtonX = 440;

signals:
    void signal_Selected(int lng);

public slots:
    void slot_FocusButton(ArdoButton *button);
    void slot_ClickedButton();

private slots:
    void slot_close();

protected:
    void changeEvent(QEvent *event) override;

private:
    void placeExitButton(int flagCount);

    QSettings *settings = nullptr;
    int selectedLanguage = 0;
    Ui::LanguageDialog *ui = nullptr;
    QStringList languageNames;
    QStringList noAskTexts;
    ArdoButton *exitButton = nullptr;
    QList<ArdoButton *> languageButtons;
};
