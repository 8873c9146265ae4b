#include "app/TForm1.h"

#include "app/StartupRules.h"
#include "app/WindowFonts.h"
#include "spellbook/ReferenceDocuments.h"
#include "ui/EntryField.h"
#include "ui/Error.h"
#include "ui/Images.h"
#include "ui/ListBoxView.h"
#include "ui/TextPaneView.h"

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

namespace quorvane::app {

namespace {

TextPane paneWith(const QString& text) {
    TextPane pane;
    pane.setText(text);
    return pane;
}

// Fonts are given by character height in pixels at 96 dots per inch, as the window was
// designed; Qt scales the whole window on other screens.
QFont pixelFont(const QString& family, int pixels, bool bold = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

const QString FormFontFamily = QStringLiteral("MS Sans Serif");
// Narrower than this, the reference would be harder to read than wrapped again.
constexpr int ReferenceMinimumStretch = 85;

} // namespace

TForm1::TForm1(QString applicationTitle, QWidget* parent)
    : QWidget(parent), RichEdit3(paneWith(spellbook::referenceText(spellbook::Language::English))),
      RichEdit4(paneWith(spellbook::referenceText(spellbook::Language::Italian))),
      ListBox3(spellbook::defaultNamesText(spellbook::Language::English)),
      ListBox4(spellbook::defaultNamesText(spellbook::Language::Italian)),
      RichEdit5(paneWith(spellbook::referenceText(spellbook::Language::Spanish))),
      ListBox5(spellbook::defaultNamesText(spellbook::Language::Spanish)),
      ListBox6Original(spellbook::defaultGesturesText()),
      applicationTitle_(std::move(applicationTitle)) {
    registerWindowFonts();
    createControls();
    createMenus();
    connectEvents();
}

TForm1::~TForm1() = default;

void TForm1::createControls() {
    setWindowTitle(QStringLiteral("Quorvane - by Varnhollow"));
    // A fixed-size window with a title bar and a close button only; it keeps its taskbar
    // entry, which a tool window would lose on some desktops.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(521, 549);
    setFont(pixelFont(FormFontFamily, 11));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    const auto label = [this](const QString& caption, QRect geometry, Qt::Alignment alignment) {
        auto* l = new QLabel(caption, this);
        l->setFont(pixelFont(FormFontFamily, 11, true));
        l->setGeometry(geometry);
        l->setAlignment(alignment | Qt::AlignTop);
        return l;
    };
    Label1 = label(EnglishTip.toString(), {16, 347, 413, 13}, Qt::AlignLeft);
    Label1->adjustSize(); // sized to its caption

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(0, 362, 521, 2); // the etched line along the bottom of 0,355 521 x 9

    const auto flag = [this](const QImage& image, QRect geometry) {
        auto* b = new QToolButton(this);
        b->setAutoRaise(true); // flat until the pointer is over it
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::PointingHandCursor);
        // The flags are pixel drawings: on a scaled screen each pixel becomes a block of
        // pixels rather than a blur.
        const QImage face = images::buttonImage(image);
        QIcon icon;
        for (int scale : {1, 2, 3}) {
            QPixmap pixmap = QPixmap::fromImage(
                face.scaled(face.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation));
            pixmap.setDevicePixelRatio(scale);
            icon.addPixmap(pixmap);
        }
        b->setIcon(icon);
        b->setIconSize(image.size());
        b->setGeometry(geometry);
        return b;
    };
    SpeedButton1 = flag(images::italyFlag(), {474, 432, 40, 25});
    SpeedButton2 = flag(images::unitedKingdomFlag(), {474, 392, 40, 28});
    SpeedButton3 = flag(images::spainFlag(), {474, 464, 40, 28});
    SpeedButton1->setAccessibleName(tr("Italian reference"));
    SpeedButton2->setAccessibleName(tr("English reference"));
    SpeedButton3->setAccessibleName(tr("Spanish reference"));

    Label2 = label(QStringLiteral("Last moves:"), {8, 16, 69, 13}, Qt::AlignLeft);
    Label2->adjustSize();
    Label3 = label(QStringLiteral("----=== Spell Reference ===----"), {8, 368, 465, 13},
                   Qt::AlignHCenter);
    Label4 = label(QStringLiteral("----=== Combos ===----"), {8, 40, 257, 13}, Qt::AlignHCenter);
    Label5 =
        label(QStringLiteral("----=== Spells List ===----"), {272, 0, 241, 13}, Qt::AlignHCenter);

    Edit1 = new EntryField(this);
    Edit1->setFont(pixelFont(FormFontFamily, 16, true));
    Edit1->setGeometry(80, 8, 185, 28);

    ListBox1 = new ListBoxView(this);
    ListBox1->setModel(&ListBox1Items);
    ListBox1->setGeometry(272, 16, 81, 313);
    ListBox2 = new ListBoxView(this);
    ListBox2->setModel(&ListBox2Items);
    ListBox2->setGeometry(352, 16, 161, 313);

    RichEdit1 = new TextPaneView(this);
    RichEdit1->setModel(&RichEdit1Text);
    RichEdit1->setFont(pixelFont(FormFontFamily, 13));
    RichEdit1->setGeometry(8, 56, 257, 289);

    // Size and font first: the reference is laid out for the width it is given.
    RichEdit2Text.setText(spellbook::startupReferenceText());
    RichEdit2 = new TextPaneView(this);
    RichEdit2->setGeometry(8, 384, 465, 161);
    RichEdit2->setFont(pixelFont(QStringLiteral("Tahoma"), 11));
    RichEdit2->setWrap(TextPaneView::Wrap::AtWidth);
    RichEdit2->setHideSelection(false);
    RichEdit2->setModel(&RichEdit2Text);
    // The start-up text is broken into lines for a narrower Tahoma than most desktops have.
    RichEdit2->narrowFontToFitLines(ReferenceMinimumStretch);

    Edit1->setAccessibleName(tr("Last moves"));
    ListBox1->setAccessibleName(tr("Spell gestures"));
    ListBox2->setAccessibleName(tr("Spell names"));
    RichEdit1->setAccessibleName(tr("Combos"));
    RichEdit2->setAccessibleName(tr("Spell reference"));

    Button1 = new QPushButton(QStringLiteral("&Info"), this);
    Button1->setGeometry(476, 512, 37, 25);
    Button2 = new QPushButton(QStringLiteral("Change &Spellbook"), this);
    Button2->setGeometry(312, 330, 161, 17);

    setTabOrder(Edit1, ListBox1);
    setTabOrder(ListBox1, ListBox2);
    setTabOrder(ListBox2, RichEdit1);
    setTabOrder(RichEdit1, RichEdit2);
    setTabOrder(RichEdit2, Button1);
    setTabOrder(Button1, Button2);
}

QFileDialog* TForm1::openDialog() {
    // Made when a load command first needs it: building a file dialog costs about as much as
    // the rest of the window, and most sessions never load a file.
    if (!OpenDialog1) {
        OpenDialog1 = new QFileDialog(this);
        OpenDialog1->setFileMode(QFileDialog::ExistingFile);
        OpenDialog1->setDirectory(QStringLiteral("."));
        OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    }
    return OpenDialog1;
}

void TForm1::showErrorBox(const QString& message) {
    QMessageBox box(QMessageBox::Critical, applicationTitle_, errorBoxText(message),
                    QMessageBox::Ok, this);
    box.exec();
}

void TForm1::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const Error& e) {
        showErrorBox(e.message());
    }
}

} // namespace quorvane::app
