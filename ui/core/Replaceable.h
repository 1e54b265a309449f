#pragma once
// A function the window calls through so that a test can stand in for it
// (a message box, the folder browser, the web browser): nothing under test
// then waits on a person or starts a program.

#include <utility>

// `Function` is a std::function type.
template <class Function>
class Replaceable {
public:
    explicit Replaceable(Function real) : real(real), current(std::move(real)) {}

    template <class... Args>
    decltype(auto) operator()(Args&&... args) const { return current(std::forward<Args>(args)...); }

    // Installs `replacement` and returns the function it replaces; an empty
    // one restores the real function.
    Function Replace(Function replacement) {
        return std::exchange(current, replacement ? std::move(replacement) : real);
    }

private:
    const Function real;
    Function current;
};
