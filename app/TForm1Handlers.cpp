// The handlers of the window's events. Each is thin: it calls the engine, the models, the
// lookup or another handler, and tells the views what changed.

#include "app/TForm1.h"

#include "spellbook/SpellLookup.h"
#include "ui/EntryField.h"
#include "ui/ListBoxView.h"
#include "ui/TextPaneView.h"

#include <QAction>
#include <QCursor>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace quorvane::app {

void TForm1::connectEvents() {
    // Every event goes through guarded(), so that its handler's error reaches the error box.
    const auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(Edit1, &QLineEdit::textChanged, &TForm1::Edit1Change);
    on(Edit1, &EntryField::mouseMoved, &TForm1::Edit1MouseMove);
    on(ListBox1, &ListBoxView::clicked, &TForm1::ListBox1Click);
    on(ListBox2, &ListBoxView::clicked, &TForm1::ListBox2Click);
    on(ListBox1, &ListBoxView::doubleClicked, &TForm1::ListBox1DblClick);
    on(ListBox2, &ListBoxView::doubleClicked, &TForm1::ListBox1DblClick);
    on(ListBox1, &ListBoxView::mouseMoved, &TForm1::ListBox1MouseMove);
    on(ListBox2, &ListBoxView::mouseMoved, &TForm1::ListBox2MouseMove);
    on(RichEdit2, &TextPaneView::mouseMoved, &TForm1::RichEdit2MouseMove);
    for (ListBoxView* list : {ListBox1, ListBox2})
        connect(list, &ListBoxView::mousePressed, this,
                [this](Qt::MouseButton, Qt::MouseButtons down, Qt::KeyboardModifiers) {
                    guarded([this, down] { ListBox2MouseDown(down); });
                });
    on(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    on(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    on(SpeedButton1, &QToolButton::clicked, &TForm1::SpeedButton1Click);
    on(SpeedButton2, &QToolButton::clicked, &TForm1::SpeedButton2Click);
    on(SpeedButton3, &QToolButton::clicked, &TForm1::SpeedButton3Click);

    // A chosen menu item runs once the button's handler that opened the menu has returned.
    const auto item = [this](QAction* action, void (TForm1::*handler)()) {
        connect(
            action, &QAction::triggered, this,
            [this, handler] { guarded([this, handler] { (this->*handler)(); }); },
            Qt::QueuedConnection);
    };
    item(EncyclopediaArticle1, &TForm1::EncyclopediaArticle1Click);
    item(OfficialRules1, &TForm1::OfficialRules1Click);
    item(RulesTranslatedinSpanish1, &TForm1::RulesTranslatedinSpanish1Click);
    item(SpelllistItalian1, &TForm1::SpelllistItalian1Click);
    item(PlayOnlineforfree1, &TForm1::PlayOnlineforfree1Click);
    item(AuthorHomepage1, &TForm1::AuthorHomepage1Click);
    item(Contacttheauthor1, &TForm1::Contacttheauthor1Click);
    item(About1, &TForm1::About1Click);
    item(Runeclasporiginal1, &TForm1::Runeclasporiginal1Click);
    item(Loadfromtextfile1, &TForm1::Loadfromtextfile1Click);
    item(LoadSpells1, &TForm1::LoadSpells1Click);
}

void TForm1::FormCreate() {
    ListBox1Items.setText(ListBox6Original.text());
    ListBox1->refresh();
    ListBox2Items.setText(ListBox3.text());
    ListBox2->refresh();
}

void TForm1::Edit1Change() {
    // The pane shows whatever the engine left, also the lines found before an error.
    struct Refresh {
        TextPaneView* view;
        ~Refresh() { view->refresh(); }
    } refresh{RichEdit1};
    engine_.recompute(Edit1->text(), ListBox1Items, ListBox2Items, RichEdit1Text);
}

void TForm1::ListBox1DblClick() {
    const QString gestures = ListBox1Items.item(ListBox1Items.selectedRow());
    if (Edit1->text() != gestures)
        Edit1->setText(gestures); // runs Edit1Change, which reports its own error
    const QString name = ListBox2Items.item(ListBox2Items.selectedRow());
    if (spellbook::selectSpellEntry(RichEdit2Text, name, ReferenceLanguage)) {
        RichEdit2->refresh();
        RichEdit2->scrollToSelection();
    }
}

void TForm1::ListBox1Click() {
    const qsizetype row = ListBox1Items.selectedRow();
    if (row >= 0 && row < ListBox2Items.count() && ListBox2Items.selectedRow() != row) {
        ListBox2Items.setSelectedRow(row);
        ListBox2->syncSelection();
    }
    ListBox1DblClick();
}

void TForm1::ListBox2Click() {
    const qsizetype row = ListBox2Items.selectedRow();
    if (row >= 0 && row < ListBox1Items.count() && ListBox1Items.selectedRow() != row) {
        ListBox1Items.setSelectedRow(row);
        ListBox1->syncSelection();
    }
    ListBox1DblClick();
}

void TForm1::ListBox2MouseDown(Qt::MouseButtons buttonsDown) {
    if (buttonsDown & Qt::RightButton)
        ListBox1DblClick();
}

void TForm1::moveHoverFrameTo(QWidget* control) {
    if (!isActiveWindow())
        activateWindow();
    if (!control->hasFocus())
        control->setFocus(Qt::MouseFocusReason);
    // Setting a frame to the state it has already costs nothing.
    ListBox1->setHoverFrame(control == ListBox1);
    ListBox2->setHoverFrame(control == ListBox2);
    RichEdit2->setHoverFrame(control == RichEdit2);
    Edit1->setHoverFrame(control == Edit1);
}

void TForm1::ListBox1MouseMove() {
    moveHoverFrameTo(ListBox1);
}
void TForm1::ListBox2MouseMove() {
    moveHoverFrameTo(ListBox2);
}
void TForm1::RichEdit2MouseMove() {
    moveHoverFrameTo(RichEdit2);
}
void TForm1::Edit1MouseMove() {
    moveHoverFrameTo(Edit1);
}

void TForm1::popupAtPointer(QMenu* menu) {
    const QPoint pointer = QCursor::pos();
    menu->exec(pointer);
    Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm1::Button1Click() {
    popupAtPointer(PopupMenu1);
}
void TForm1::Button2Click() {
    popupAtPointer(PopupMenu2);
}

void TForm1::switchLanguage(spellbook::Language language, const TextPane& reference,
                            const ListModel& names) {
    ReferenceLanguage = language;
    const QString text = reference.text();
    if (text != RichEdit2Text.text()) {
        RichEdit2Text.setText(text);
        RichEdit2->refresh();
        RichEdit2->scrollToTop();
    }
    ListBox2Items.setText(names.text());
    ListBox2->refresh();
}

void TForm1::SpeedButton1Click() {
    switchLanguage(spellbook::Language::Italian, RichEdit4, ListBox4);
    Label1->setText(ItalianTip.toString());
    Label1->adjustSize();
}

void TForm1::SpeedButton2Click() {
    switchLanguage(spellbook::Language::English, RichEdit3, ListBox3);
    Label1->setText(EnglishTip.toString());
    Label1->adjustSize();
}

// Spanish has no tip of its own: the label keeps the one it shows.
void TForm1::SpeedButton3Click() {
    switchLanguage(spellbook::Language::Spanish, RichEdit5, ListBox5);
}

void TForm1::Runeclasporiginal1Click() {
    FormCreate();
    Runeclasporiginal1->setChecked(true);
    Loadfromtextfile2->menuAction()->setChecked(false);
}

void TForm1::loadList(ListModel& list, ListBoxView* view) {
    QFileDialog* dialog = openDialog();
    // Every visit starts from the file last chosen, by either command, in its folder; before
    // the first choice, from the working folder with no name. The folder that a cancelled
    // visit went to and the name it typed are forgotten: the dialog would otherwise keep them.
    if (!lastChosenFile_.isEmpty()) {
        dialog->selectFile(lastChosenFile_);
    } else {
        dialog->setDirectory(QStringLiteral("."));
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->clear();
    }
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString path = dialog->selectedFiles().constFirst();
    lastChosenFile_ = path;  // chosen, even if it cannot be opened
    list.loadFromFile(path); // an error leaves the list and the marks as they were
    view->refresh();
    Runeclasporiginal1->setChecked(false);
    Loadfromtextfile2->menuAction()->setChecked(true);
}

void TForm1::Loadfromtextfile1Click() {
    loadList(ListBox1Items, ListBox1);
}
void TForm1::LoadSpells1Click() {
    loadList(ListBox2Items, ListBox2);
}

} // namespace quorvane::app
