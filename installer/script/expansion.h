// The result of work that expands script texts: what the work yields, or the fatal stop for an
// undefined variable. The stop has been shown to the user where the variable was found; every
// caller hands it on unchanged, each stage ends with its own result for it, and the run sequence
// ends the installer with the fatal-stop exit code without doing anything more.
#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace rvx::installer {

// An undefined variable left in a script text after expansion, as written there ("%FOO%").
struct FatalStop {
    std::string variable;
};

// The value, or the fatal stop. There is deliberately no conversion to bool: a yes/no value
// must not be mistaken for "not stopped".
template <class T>
class [[nodiscard]] OrStop {
public:
    // Whatever converts to the value, as a function returning T would take it.
    template <class U>
        requires(std::is_convertible_v<U &&, T> && !std::is_same_v<std::remove_cvref_t<U>, FatalStop> &&
                 !std::is_same_v<std::remove_cvref_t<U>, OrStop>)
    OrStop(U&& value) : state_(std::in_place_index<0>, std::forward<U>(value)) {}  // NOLINT: implicit on purpose
    OrStop(FatalStop stop) : state_(std::in_place_index<1>, std::move(stop)) {}   // NOLINT

    bool stopped() const { return state_.index() == 1; }

    // Only when not stopped; asking a stopped result for its value is a fault of the caller.
    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    // Only when stopped.
    const FatalStop& stop() const { return std::get<1>(state_); }

private:
    std::variant<T, FatalStop> state_;
};

// Work that yields nothing else: done, or the fatal stop.
template <>
class [[nodiscard]] OrStop<void> {
public:
    OrStop() = default;
    OrStop(FatalStop stop) : stop_(std::move(stop)) {}  // NOLINT: implicit on purpose

    static OrStop Done() { return {}; }
    bool stopped() const { return stop_.has_value(); }
    // Only when stopped.
    const FatalStop& stop() const { return stop_.value(); }

private:
    std::optional<FatalStop> stop_;
};

// An expanded text, or the stop for the undefined variable left in it.
using Expansion = OrStop<std::string>;
// Work that only acts: done, or the stop.
using Completion = OrStop<void>;

}  // namespace rvx::installer
