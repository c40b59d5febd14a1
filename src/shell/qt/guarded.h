#pragma once
// The one guard of the windows' event handlers: no exception leaves a handler into the event
// loop. What a handler's body throws is shown in a message box titled with the handler's
// routine, and the handler ends there. Every slot of every window is connected through Guard,
// and every overridden event handler runs its work through Guarded.
#include <exception>
#include <type_traits>
#include <utility>

namespace ui {
class Prompt;
}

namespace tolvaran {

// Shows text in a message box titled routine (nothing without a prompt); never throws.
void ShowTrapped(ui::Prompt* prompt, const char* routine, const char* text) noexcept;

// Runs body; an exception it throws is shown titled routine and goes no further.
template <class Body>
void Guarded(ui::Prompt* prompt, const char* routine, Body&& body) noexcept {
    try {
        body();
    } catch (const std::exception& e) {
        ShowTrapped(prompt, routine, e.what());
    } catch (...) {
        ShowTrapped(prompt, routine, "An unknown error occurred.");
    }
}

// Calls body with args when it is written to take them, else with none.
template <class Body, class... Args>
void CallWithArgumentsItTakes(Body& body, Args&&... args) {
    if constexpr (std::is_invocable_v<Body&, Args...>)
        body(std::forward<Args>(args)...);
    else
        body();
}

// A slot for QObject::connect that runs body guarded: body takes the signal's arguments when
// it is written to take them, else none. prompt is not owned and must outlive the
// connection; routine is a literal.
template <class Body>
auto Guard(ui::Prompt* prompt, const char* routine, Body body) {
    return [prompt, routine, body = std::move(body)](auto&&... args) mutable {
        Guarded(prompt, routine,
                [&] { CallWithArgumentsItTakes(body, std::forward<decltype(args)>(args)...); });
    };
}

}  // namespace tolvaran
