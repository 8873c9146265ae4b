#pragma once

// The one window of the program. Its components keep their designer's names and stand in
// the order the window declares them; the hidden stores are constant data of the window.
// Every user event reaches one handler, which runs inside an error guard: an error ends
// that handler and is shown in the error box, and a handler that another one set off (the
// lookup writing Edit1) reports its own error and lets the outer one go on. The handlers
// stay thin; the combo engine, the list and pane models and the lookup do the work.

#include "combo/ComboEngine.h"
#include "spellbook/DefaultSpellbook.h"
#include "ui/ListModel.h"
#include "ui/TextPane.h"

#include <QString>
#include <QStringView>
#include <QWidget>

#include <functional>

class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace quorvane {
class EntryField;
class ListBoxView;
class TextPaneView;
} // namespace quorvane

namespace quorvane::app {

// The wildcard tips above the reference; Spanish has none.
inline constexpr QStringView EnglishTip =
    u"Tip: you can use wildcards chars \"X\" or \"?\" (example: \"??ws\" or \"xxxc\")";
inline constexpr QStringView ItalianTip =
    u"Consiglio: puoi usare caratteri jolly \"X\" o \"?\" (esempio: \"??ws\" o \"xxxc\")";

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(QString applicationTitle, QWidget* parent = nullptr);
    ~TForm1() override;

    // Components, in the window's declaration order. Visible lists and panes draw the
    // models beside them.
    EntryField* Edit1 = nullptr;
    ListBoxView* ListBox1 = nullptr;
    ListBoxView* ListBox2 = nullptr;
    QLabel* Label1 = nullptr;
    TextPaneView* RichEdit1 = nullptr;
    TextPaneView* RichEdit2 = nullptr;
    QFrame* Bevel1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    const TextPane RichEdit3;
    const TextPane RichEdit4;
    const ListModel ListBox3;
    const ListModel ListBox4;
    QPushButton* Button1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* EncyclopediaArticle1 = nullptr;
    QAction* PlayOnlineforfree1 = nullptr;
    QAction* AuthorHomepage1 = nullptr;
    QAction* OfficialRules1 = nullptr;
    QAction* Contacttheauthor1 = nullptr;
    QMenu* Information1 = nullptr;
    QMenu* Quorvane1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    const TextPane RichEdit5;
    QAction* RulesTranslatedinSpanish1 = nullptr;
    QAction* N1 = nullptr;
    QAction* N2 = nullptr;
    QAction* SpelllistItalian1 = nullptr;
    const ListModel ListBox5;
    QAction* N3 = nullptr;
    QAction* About1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Button2 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* Runeclasporiginal1 = nullptr;
    QAction* N4 = nullptr;
    QAction* Loadfromtextfile1 = nullptr;
    const ListModel ListBox6Original;
    QFileDialog* OpenDialog1 = nullptr;
    QMenu* Loadfromtextfile2 = nullptr;
    QAction* LoadSpells1 = nullptr;

    // The models that the visible lists and panes draw.
    ListModel ListBox1Items;
    ListModel ListBox2Items;
    TextPane RichEdit1Text;
    TextPane RichEdit2Text;

    const QString& applicationTitle() const { return applicationTitle_; }
    spellbook::Language referenceLanguage() const { return ReferenceLanguage; }

    // Handlers, named after the control and the event.
    void FormCreate();
    void Edit1Change();
    void ListBox1DblClick();
    void ListBox1Click();
    void ListBox2Click();
    void ListBox2MouseDown(Qt::MouseButtons buttonsDown);
    void ListBox1MouseMove();
    void ListBox2MouseMove();
    void RichEdit2MouseMove();
    void Edit1MouseMove();
    void Button1Click();
    void Button2Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void Runeclasporiginal1Click();
    void Loadfromtextfile1Click();
    void LoadSpells1Click();
    void EncyclopediaArticle1Click();
    void OfficialRules1Click();
    void RulesTranslatedinSpanish1Click();
    void SpelllistItalian1Click();
    void PlayOnlineforfree1Click();
    void AuthorHomepage1Click();
    void Contacttheauthor1Click();
    void About1Click();

    // Runs one handler of an event; an error it raises is shown in the error box.
    void guarded(const std::function<void()>& handler);

private:
    void createControls();
    void createMenus();
    void connectEvents();
    void switchLanguage(spellbook::Language language, const TextPane& reference,
                        const ListModel& names);
    void moveHoverFrameTo(QWidget* control);
    void popupAtPointer(QMenu* menu);
    void loadList(ListModel& list, ListBoxView* view);
    QFileDialog* openDialog();
    void showErrorBox(const QString& message);

    QString applicationTitle_;
    QString lastChosenFile_; // where both load commands' file dialog starts
    spellbook::Language ReferenceLanguage = spellbook::Language::English;
    combo::ComboEngine engine_;
};

} // namespace quorvane::app
