#pragma once
#include <QApplication>
#include <exception>

// The application object with the program's default error handler: an exception
// that a command leaves unhandled is shown in a message box and the program goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the text of the exception being handled; call from a catch block only.
void HandleException();
