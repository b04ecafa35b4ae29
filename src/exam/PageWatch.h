#pragma once
// What the program learns from the question page while the user answers: a
// script in the browser's observer world reports every question whose ticks
// change, with the letters now ticked. The page's own bytes stay as built.
#include <QObject>
#include <QString>

class TPageWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The observer script; it talks to this object under `name`.
    static QString Script(const QString& name);
    // Locks the page's options (time is up).
    static QString LockScript();
    // Brings question `id` to the top of the view.
    static QString ScrollScript(int id);

    // From the page: question `id` now has `letters` ticked ("" for none).
    Q_INVOKABLE void answered(int id, const QString& letters);

signals:
    void Answered(int id, const QString& letters);
};
