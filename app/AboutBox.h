#pragma once

#include <QMessageBox>

namespace quorvane::app {

// The plain message box: no icon, one OK button that is both default and cancel, centred
// on the screen. Ctrl+C sounds the beep and copies the box as text, between dividers.
class AboutBox : public QMessageBox {
    Q_OBJECT

public:
    AboutBox(const QString& caption, const QString& text, QWidget* parent = nullptr);

    // What Ctrl+C puts on the clipboard.
    QString clipboardText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

} // namespace quorvane::app
