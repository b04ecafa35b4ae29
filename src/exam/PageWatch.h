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
    // While a timed exam runs (on) no answer of the page can be shown: the
    // answers shown are hidden and each 显示答案 does nothing, with kAnswersLockedTip as its tip.
    static QString AnswerLockScript(bool on);
    static constexpr const char16_t* kAnswersLockedTip = u"交卷后可查看答案";
    // Locks the page's options (time is up).
    static QString LockScript();
    // Brings question `id` to the top of the view.
    static QString ScrollScript(int id);
    // 练习模式 on the page (on) or off: a ticked radio asks at once, a question
    // of check boxes asks by the 确定 added after its options.
    static QString PracticeScript(bool on);
    // Shows the verdict on question `id` (shown as number `number`): its title
    // red when wrong, as grading colours it, and its answer and explanation.
    static QString JudgedScript(int id, int number, bool right);

    // From the page: question `id` now has `letters` ticked ("" for none).
    Q_INVOKABLE void answered(int id, const QString& letters);
    // From the page while practising: judge question `id` with `letters` ticked.
    Q_INVOKABLE void judge(int id, const QString& letters);
    // From the page: the candidate wants to write task `id` (a question without options).
    Q_INVOKABLE void write(int id);

signals:
    void Answered(int id, const QString& letters);
    void JudgeAsked(int id, const QString& letters);
    void WriteAsked(int id);
};
