#pragma once
// The window kit: what every window of the program shares, so that no window repeats it.
//  - It is centred on its parent window, or on the screen, when it is displayed.
//  - FormActivate() runs once per display: after show() or exec(), not again when the window
//    comes back from being minimised (the window system's show is not a display).
//  - on(control, &Control::signal, &TFormN::Handler) wires a signal to a handler in one line; the
//    handler runs inside guard(), so an error it does not catch is shown and the program goes on.
//  - Push buttons never become the Enter default unless the window makes one so (setDefault).
#include "ui/guard.h"

#include <QDialog>
#include <type_traits>

namespace tabel::ui {

// A focus-out that moves the focus to another control: a leave handler's moment. Not one where a
// message box, another window or a popup takes the focus for a while.
bool leavesForAnotherControl(const QEvent* event);

class Form : public QDialog {
    Q_OBJECT
public:
    explicit Form(Prompter& prompter, QWidget* parent = nullptr);

    Prompter& prompter() const { return prompter_; }
    // Runs once per display of the window; windows with a Part that says what happens on
    // activation override it.
    virtual void FormActivate() { }

protected:
    template <typename Sender, typename Signal, typename Owner, typename... Args>
    void on(Sender* sender, Signal signal, void (Owner::*handler)(Args...))
    {
        auto* owner = static_cast<Owner*>(this);
        connect(sender, signal, this, [this, owner, handler](auto&&... args) {
            runGuarded(prompter_, [&] {
                if constexpr (sizeof...(Args) == 0)
                    (owner->*handler)();
                else
                    (owner->*handler)(std::forward<decltype(args)>(args)...);
            });
        });
    }
    template <typename Sender, typename Signal, typename Fn>
    requires(!std::is_member_function_pointer_v<Fn>) void on(Sender* sender, Signal signal, Fn fn)
    {
        connect(sender, signal, this, guard(prompter_, std::move(fn)));
    }

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void centre();
    void keepButtonsFromDefault();

    Prompter& prompter_;
    bool displayed_ = false;
};

} // namespace tabel::ui
