#pragma once

// Drives menus and modal windows (boxes, the file dialog) on the offscreen platform as a person
// would, from the event loop, for the window's tests.

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

namespace quorvane::testing {

using namespace Qt::StringLiterals;

// Steps run one after the other, each as soon as its widget is shown: the active popup menu
// or the active modal widget. An action runs from the event loop after the polling timer has
// returned, so it may open a modal loop of its own and the next step still runs inside it.
// After its time is up, with a step still waiting or something still open, the script closes
// what is open and says so, so that a failed expectation cannot hang the test.
class Script : public QObject {
public:
    using Find = std::function<QWidget*()>;
    using Act = std::function<void(QWidget*)>;

    explicit Script(int patienceMs = 10000) : patienceMs_(patienceMs) {
        connect(&timer_, &QTimer::timeout, this, &Script::tick);
        timer_.start(5);
        clock_.start();
    }

    Script& then(Find find, Act act) {
        steps_.push_back({std::move(find), std::move(act)});
        return *this;
    }
    bool done() const { return steps_.empty() && !starting_; }
    bool gaveUp() const { return gaveUp_; }

private:
    void tick() {
        const bool open = QApplication::activePopupWidget() || QApplication::activeModalWidget();
        if (clock_.elapsed() > patienceMs_ && (!done() || open)) {
            gaveUp_ = true;
            steps_.clear();
            for (int i = 0; i < 10 && QApplication::activePopupWidget(); ++i)
                QApplication::activePopupWidget()->close();
            for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i)
                QApplication::activeModalWidget()->close();
            return;
        }
        if (steps_.empty() || starting_)
            return;
        QWidget* const widget = steps_.front().find();
        if (!widget || !widget->isVisible())
            return;
        starting_ = true;
        QMetaObject::invokeMethod(
            this,
            [this, act = std::move(steps_.front().act), widget = QPointer<QWidget>(widget)] {
                starting_ = false;
                if (!widget)
                    return;
                // A window system makes a new modal window the active one; the offscreen
                // platform does not, and typing into the dialog relies on it.
                if (widget->isWindow() && !widget->isActiveWindow() &&
                    !QApplication::activePopupWidget()) {
                    widget->activateWindow();
                    (void)QTest::qWaitForWindowActive(widget, 1000);
                }
                act(widget);
            },
            Qt::QueuedConnection);
        steps_.pop_front();
    }

    struct Step {
        Find find;
        Act act;
    };
    std::deque<Step> steps_;
    bool starting_ = false;
    QTimer timer_;
    QElapsedTimer clock_;
    int patienceMs_;
    bool gaveUp_ = false;
};

inline Script::Find popup(QMenu* menu) {
    return
        [menu]() -> QWidget* { return QApplication::activePopupWidget() == menu ? menu : nullptr; };
}
template <typename T> Script::Find modal() {
    return []() -> QWidget* { return qobject_cast<T*>(QApplication::activeModalWidget()); };
}
// The key goes where the keyboard would send it: the widget's focus widget, or the widget.
inline Script::Act press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return [key, modifiers](QWidget* widget) {
        QWidget* target = widget->focusWidget() ? widget->focusWidget() : widget;
        QTest::keyClick(target, key, modifiers);
    };
}

inline QLineEdit* fileNameEdit(QWidget* dialog) {
    return dialog->findChild<QLineEdit*>(u"fileNameEdit"_s);
}

// Types a name into the file dialog's name field over what it holds, then Enter.
inline void typeFileName(QWidget* dialog, const QString& name) {
    QLineEdit* edit = fileNameEdit(dialog);
    edit->setFocus(); // where the dialog puts it when it opens
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}
inline Script::Act choose(const QString& path) {
    return [path](QWidget* dialog) { typeFileName(dialog, path); };
}

} // namespace quorvane::testing
