#pragma once
// Every handler connected to a signal runs inside guard(): an error it does not catch ends the
// handler (and whatever chain of handlers it called) and is shown in the general error box; the
// program goes on with the next event.
#include "core/error.h"
#include "ui/prompter.h"

#include <exception>
#include <utility>

namespace tabel::ui {

// True when fn ran to its end; false when its error was shown.
template <typename Fn> bool runGuarded(Prompter& prompter, Fn&& fn) noexcept
{
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (const Error& e) {
        prompter.generalError(e.text());
    } catch (const std::exception& e) {
        prompter.generalError(QString::fromUtf8(e.what()));
    } catch (...) {
        prompter.generalError(QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

// Wraps a handler for connect(): the signal's arguments are passed on when the handler takes them.
template <typename Fn> auto guard(Prompter& prompter, Fn fn)
{
    return [&prompter, fn = std::move(fn)](auto&&... args) {
        runGuarded(prompter, [&] {
            if constexpr (std::is_invocable_v<const Fn&, decltype(args)...>)
                fn(std::forward<decltype(args)>(args)...);
            else if constexpr (std::is_invocable_v<const Fn&>) // the handler takes none of them
                fn();
            // (Qt asks, when connecting, whether fewer arguments would do: those instantiations
            // are never called)
        });
    };
}

} // namespace tabel::ui
