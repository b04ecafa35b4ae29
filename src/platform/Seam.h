#pragma once
#include <functional>
#include <utility>

// A platform call that tests may replace (message boxes, the common dialogs,
// online test, shell open). Empty means "use the real thing".
template <class Sig> class Seam {
public:
    std::function<Sig> Replace(std::function<Sig> fn) {
        std::function<Sig> previous = std::move(fn_);
        fn_ = std::move(fn);
        return previous;
    }
    explicit operator bool() const { return static_cast<bool>(fn_); }
    template <class... A> auto operator()(A&&... a) const { return fn_(std::forward<A>(a)...); }

private:
    std::function<Sig> fn_;
};
