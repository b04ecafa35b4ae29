#pragma once
#include <QApplication>
#include <exception>
#include <type_traits>
#include <utility>

// The application object with the program's default error handler: an exception
// that a command leaves unhandled is shown in a message box and the program goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the text of the exception being handled; call from a catch block only.
void HandleException();

// Every handler is connected through this: an exception it throws is reported by
// the default error handler and never unwinds through Qt's signal code. The
// handler takes the signal's arguments or none.
template <class F> auto Guarded(F handler) {
    return [handler = std::move(handler)](auto&&... args) {
        try {
            if constexpr (std::is_invocable_v<F&, decltype(args)...>)
                handler(std::forward<decltype(args)>(args)...);
            else
                handler();
        } catch (...) {
            HandleException();
        }
    };
}
