// The information menu: web pages about the game and the program, and the About message.

#include "app/AboutBox.h"
#include "app/TForm1.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

namespace quorvane::app {

namespace {

// The desktop's "open" action; whether a browser started is not the program's concern.
void openAddress(const char* address) {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(address)));
}

const QString AboutText =
    QStringLiteral("Quorvane 1.0\n"
                   "A combo assistant for Runeclasp (a.k.a. Palmoria).\n\n"
                   "Type the gestures made so far and see which spells they can still become.\n\n"
                   "Written by Varnhollow - varnhollow@quorvane.example");

} // namespace

void TForm1::createMenus() {
    PopupMenu1 = new QMenu(this);
    Information1 = PopupMenu1->addMenu(QStringLiteral("About &Runeclasp (a.k.a. Palmoria)"));
    EncyclopediaArticle1 = Information1->addAction(
        QStringLiteral("Palmoria by Ilsabet Corrowin, 1977 - Loreweave &Wiki article"));
    N2 = Information1->addSeparator();
    OfficialRules1 =
        Information1->addAction(QStringLiteral("Official rules in &English by Ilsabet Corrowin"));
    RulesTranslatedinSpanish1 = Information1->addAction(
        QStringLiteral("Official rules in &Spanish, translated by Maelis Corvarán"));
    SpelllistItalian1 = Information1->addAction(
        QStringLiteral("Spell list in &Italian by Liselda Marvotti at Tavolieri di Varnhollow"));
    N1 = Information1->addSeparator();
    PlayOnlineforfree1 =
        Information1->addAction(QStringLiteral("&Play online for free at Duelhall"));
    Quorvane1 = PopupMenu1->addMenu(QStringLiteral("About &This program"));
    AuthorHomepage1 = Quorvane1->addAction(QStringLiteral("Program &Homepage"));
    Contacttheauthor1 = Quorvane1->addAction(QStringLiteral("&Contact the author"));
    N3 = Quorvane1->addSeparator();
    About1 = Quorvane1->addAction(QStringLiteral("&About"));

    PopupMenu2 = new QMenu(this);
    Runeclasporiginal1 = PopupMenu2->addAction(QStringLiteral("&Runeclasp [Default]"));
    Runeclasporiginal1->setCheckable(true);
    Runeclasporiginal1->setChecked(true);
    N4 = PopupMenu2->addSeparator();
    Loadfromtextfile2 = PopupMenu2->addMenu(QStringLiteral("&Custom"));
    Loadfromtextfile2->menuAction()->setCheckable(true);
    Loadfromtextfile2->menuAction()->setChecked(false);
    Loadfromtextfile1 =
        Loadfromtextfile2->addAction(QStringLiteral("Load &Gestures from textfile"));
    LoadSpells1 = Loadfromtextfile2->addAction(QStringLiteral("Load &Spells from textfile"));
}

void TForm1::EncyclopediaArticle1Click() {
    openAddress("https://loreweave.example/wiki/Palmoria");
}
void TForm1::OfficialRules1Click() {
    openAddress("https://rulescrypt.example/palmoria/rules-en.html");
}
void TForm1::RulesTranslatedinSpanish1Click() {
    openAddress("https://corvaran.example/palmoria/reglas.html");
}
void TForm1::SpelllistItalian1Click() {
    openAddress("https://tavolieri.example/varnhollow/palmoria-incantesimi");
}
void TForm1::PlayOnlineforfree1Click() {
    openAddress("https://duelhall.example/");
}
void TForm1::AuthorHomepage1Click() {
    openAddress("https://quorvane.example/");
}
void TForm1::Contacttheauthor1Click() {
    openAddress("https://varnhollow.example/");
}

void TForm1::About1Click() {
    AboutBox box(applicationTitle_, AboutText, this);
    box.exec();
}

} // namespace quorvane::app
