#include "essay/WritingWindow.h"

#include "essay/AttemptsDialog.h"
#include "essay/SheetView.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "store/AdoConnection.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace essay {
namespace {
const QString kCaption = QStringLiteral("申论作答");

QString limitText(const Limit& l) {
    if (l.min > 0 && l.max > 0) return QStringLiteral("%1～%2").arg(l.min).arg(l.max);
    if (l.max > 0) return QString::number(l.max);
    if (l.min > 0) return QStringLiteral("不少于%1").arg(l.min);
    return QStringLiteral("不限");
}

QString number(double v) {
    return QString::number(v, 'g', 4);
}
} // namespace

QString HighlightedAnswer(const QString& answer, const Judgement& j) {
    std::vector<int> mark(static_cast<size_t>(answer.size()), 0);
    for (const Highlight& h : j.highlights)
        for (int i = h.begin; i < h.begin + h.length && i < answer.size(); ++i)
            mark[static_cast<size_t>(i)] = h.point;
    QString html = QStringLiteral("<div style='line-height:160%'>");
    int open = 0;
    for (qsizetype i = 0; i <= answer.size(); ++i) {
        const int m = i < answer.size() ? mark[static_cast<size_t>(i)] : 0;
        if (m != open) {
            if (open) html += QStringLiteral("</span>");
            if (m) html += QStringLiteral("<span style='background:#FFE082' title='要点%1'>").arg(m);
            open = m;
        }
        if (i == answer.size()) break;
        if (i == j.scoredChars)
            html += QStringLiteral("<span style='color:#999'>［以下超出字数，不计分］</span>");
        const QChar c = answer.at(i);
        if (c == u'\n')
            html += QStringLiteral("<br/>");
        else
            html += QString(c).toHtmlEscaped();
    }
    return html + QStringLiteral("</div>");
}

QString JudgementHtml(const Task& task, const Judgement& j) {
    QString html = QStringLiteral("<h3>估分（仅供参考）：%1 / %2</h3>").arg(number(j.score), number(j.marks));
    html += QStringLiteral("<p>字数 %1 / %2%3</p>")
                .arg(j.count)
                .arg(limitText(task.limit))
                .arg(task.limit.max > 0 && j.count > task.limit.max
                         ? QStringLiteral("　<b style='color:red'>超出字数</b>")
                         : QString());
    html += QStringLiteral(
        "<table width='100%' cellspacing='0' cellpadding='4' border='1' style='border-collapse:collapse'>"
        "<tr><th>要点</th><th width='64'>判断</th><th width='52'>得分</th></tr>");
    for (size_t i = 0; i < task.points.size() && i < j.points.size(); ++i) {
        const PointResult& r = j.points[i];
        const QString colour = r.coverage == Coverage::Covered   ? QStringLiteral("#2E7D32")
                               : r.coverage == Coverage::Partial ? QStringLiteral("#EF6C00")
                                                                 : QStringLiteral("#C62828");
        html += QStringLiteral("<tr><td>%1. %2<br/><small style='color:#666'>关键词：%3%4</small></td>"
                               "<td style='color:%5'>%6</td><td>%7 / %8</td></tr>")
                    .arg(task.points[i].number)
                    .arg(task.points[i].text.toHtmlEscaped())
                    .arg(r.keyWords.join(QStringLiteral("、")).toHtmlEscaped())
                    .arg(r.found.isEmpty() ? QString()
                                           : QStringLiteral("；作答中有：") +
                                                 r.found.join(QStringLiteral("、")).toHtmlEscaped())
                    .arg(colour, CoverageName(r.coverage), number(r.score), number(task.points[i].points));
    }
    for (const StructureCheck& c : j.structure)
        html += QStringLiteral("<tr><td>结构：%1</td><td style='color:%2'>%3</td><td>%4</td></tr>")
                    .arg(c.name, c.met ? QStringLiteral("#2E7D32") : QStringLiteral("#C62828"),
                         c.met ? QStringLiteral("具备") : QStringLiteral("欠缺"), number(c.score));
    html += QStringLiteral("</table><p style='color:#555'>%1</p>").arg(j.how.toHtmlEscaped());
    return html;
}

WritingWindow::WritingWindow(AdoConnection& connection, Task task, QWidget* parent)
    : QWidget(parent, Qt::Window), connection_(connection), task_(std::move(task)) {
    setWindowTitle(QStringLiteral("%1 — %2").arg(kCaption, task_.kind));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    heading_ = new QLabel(QStringLiteral("<b>%1</b>（%2分，字数 %3）")
                              .arg(task_.kind, number(task_.marks), limitText(task_.limit)),
                          this);
    countdown_ = new QLabel(this);
    countdown_->setStyleSheet(QStringLiteral("font-weight:bold;font-size:16px;color:#1E559A;"));
    countdown_->hide();
    top->addWidget(heading_, 1);
    top->addWidget(countdown_);
    layout->addLayout(top);
    taskView_ = new QTextBrowser(this);
    taskView_->setPlainText(task_.text);
    taskView_->setMaximumHeight(110);
    layout->addWidget(taskView_);

    pages_ = new QStackedWidget(this);
    editor_ = new QPlainTextEdit(this);
    editor_->setPlaceholderText(QStringLiteral("在这里作答。每段另起一行；段首空格由稿纸自动留出。"));
    QFont f = editor_->font();
    f.setPointSize(f.pointSize() + 2);
    editor_->setFont(f);
    pages_->addWidget(editor_);
    auto* scroll = new QScrollArea(this);
    sheet_ = new SheetView(scroll);
    scroll->setWidget(sheet_);
    scroll->setWidgetResizable(true);
    pages_->addWidget(scroll);
    auto* result = new QSplitter(Qt::Horizontal, this);
    answerView_ = new QTextBrowser(result);
    pointsView_ = new QTextBrowser(result);
    result->addWidget(answerView_);
    result->addWidget(pointsView_);
    result->setStretchFactor(0, 2);
    result->setStretchFactor(1, 3);
    pages_->addWidget(result);
    layout->addWidget(pages_, 1);

    auto* bottom = new QHBoxLayout;
    count_ = new QLabel(this);
    bottom->addWidget(count_, 1);
    sheetButton_ = new QPushButton(QStringLiteral("稿纸"), this);
    sheetButton_->setCheckable(true);
    submitButton_ = new QPushButton(QStringLiteral("提交"), this);
    auto* again = new QPushButton(QStringLiteral("新作答"), this);
    auto* history = new QPushButton(QStringLiteral("历次作答…"), this);
    auto* printButton = new QPushButton(QStringLiteral("打印…"), this);
    auto* pdf = new QPushButton(QStringLiteral("存为PDF…"), this);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    for (QPushButton* b : {sheetButton_, submitButton_, again, history, printButton, pdf, close})
        bottom->addWidget(b);
    layout->addLayout(bottom);

    connect(editor_, &QPlainTextEdit::textChanged, this, [this] { textChanged(); });
    connect(sheetButton_, &QPushButton::toggled, this, [this](bool on) { toggleSheet(on); });
    connect(submitButton_, &QPushButton::clicked, this, [this] { submit(); });
    connect(again, &QPushButton::clicked, this, [this] { newAttempt(); });
    connect(history, &QPushButton::clicked, this, [this] { showHistory(); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(false); });
    connect(pdf, &QPushButton::clicked, this, [this] { print(true); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    saveTimer_ = new QTimer(this);
    saveTimer_->setInterval(kSaveEveryMs);
    connect(saveTimer_, &QTimer::timeout, this, [this] { SaveNow(); });
    saveTimer_->start();
    clock_ = new QTimer(this);
    clock_->setInterval(250);
    connect(clock_, &QTimer::timeout, this, [this] { tick(); });

    // An attempt left unsubmitted is taken up again: nothing written is lost.
    const std::vector<Attempt> before = ReadAttempts(connection_, task_.id);
    if (!before.empty() && !before.front().score) showAttempt(before.front());
    writing_.start();
    showCount();
    resize(760, 640);
}

WritingWindow::~WritingWindow() = default;

void WritingWindow::ensureAttempt() {
    if (attempt_.id) return;
    attempt_ = Attempt{};
    attempt_.task = task_.id;
    attempt_.marks = task_.marks;
    attempt_.id = StartAttempt(connection_, task_.id, task_.marks, task_.kind);
    secondsBefore_ = 0;
    writing_.restart();
}

void WritingWindow::textChanged() {
    if (locked_) return;
    dirty_ = true;
    showCount();
    if (sheetButton_->isChecked()) sheet_->SetAnswer(editor_->toPlainText(), task_.limit.max);
}

void WritingWindow::showCount() {
    const int n = CountCells(editor_->toPlainText());
    const bool over = task_.limit.max > 0 && n > task_.limit.max;
    count_->setText(QStringLiteral("字数 %1 / %2%3")
                        .arg(n)
                        .arg(limitText(task_.limit), over ? QStringLiteral("　超出字数") : QString()));
    count_->setStyleSheet(over ? QStringLiteral("color:red;font-weight:bold;") : QString());
}

void WritingWindow::SaveNow() {
    if (!dirty_ || locked_) return;
    try {
        ensureAttempt();
        attempt_.text = editor_->toPlainText();
        attempt_.count = CountCells(attempt_.text);
        attempt_.seconds = secondsBefore_ + static_cast<int>(writing_.elapsed() / 1000);
        SaveAttempt(connection_, attempt_);
        dirty_ = false;
        emit AttemptSaved(attempt_.id);
    } catch (const std::exception& e) {
        saveTimer_->stop(); // one message, not one every five seconds
        MessageBox(QStringLiteral("作答没能保存：%1\n请把作答复制到别处，以免丢失。")
                       .arg(QString::fromUtf8(e.what())),
                   kCaption, MB_OK | MB_ICONERROR);
    }
}

void WritingWindow::submit() {
    if (locked_) return;
    if (editor_->toPlainText().trimmed().isEmpty() && deadlineMs_ == 0) {
        MessageBox(QStringLiteral("还没有作答。"), kCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    dirty_ = true;
    SaveNow();
    ensureAttempt();
    const Judgement j = Judge(task_, editor_->toPlainText());
    attempt_.score = j.score;
    try {
        SaveAttempt(connection_, attempt_);
    } catch (const std::exception& e) {
        MessageBox(QStringLiteral("估分没能保存：%1").arg(QString::fromUtf8(e.what())), kCaption,
                   MB_OK | MB_ICONERROR);
    }
    showJudgement(j);
}

void WritingWindow::showJudgement(const Judgement& j) {
    locked_ = true;
    editor_->setReadOnly(true);
    submitButton_->setEnabled(false);
    answerView_->setHtml(HighlightedAnswer(attempt_.text, j));
    pointsView_->setHtml(JudgementHtml(task_, j));
    sheetButton_->setChecked(false);
    pages_->setCurrentIndex(2);
    emit JudgementShown(j.score, j.marks);
}

void WritingWindow::HandIn() {
    if (locked_) return;
    clock_->stop();
    countdown_->setText(QStringLiteral("时间到"));
    dirty_ = true;
    submit();
    locked_ = true;
    editor_->setReadOnly(true);
}

void WritingWindow::newAttempt() {
    if (deadlineMs_ > 0 && !locked_) return; // a timed set keeps one attempt per task
    SaveNow();
    attempt_ = Attempt{};
    locked_ = false;
    dirty_ = false;
    editor_->setReadOnly(false);
    submitButton_->setEnabled(true);
    editor_->blockSignals(true);
    editor_->clear();
    editor_->blockSignals(false);
    pages_->setCurrentIndex(0);
    showCount();
    editor_->setFocus();
}

void WritingWindow::showAttempt(const Attempt& a) {
    SaveNow();
    attempt_ = a;
    secondsBefore_ = a.seconds;
    writing_.restart();
    editor_->blockSignals(true);
    editor_->setPlainText(a.text);
    editor_->blockSignals(false);
    editor_->moveCursor(QTextCursor::End); // go on where the writing stopped
    dirty_ = false;
    locked_ = false;
    editor_->setReadOnly(false);
    submitButton_->setEnabled(true);
    pages_->setCurrentIndex(0);
    showCount();
    if (a.score) showJudgement(Judge(task_, a.text));
}

void WritingWindow::showHistory() {
    SaveNow();
    AttemptsDialog dialog(ReadAttempts(connection_, task_.id), task_, this);
    if (dialog.exec() == QDialog::Accepted && dialog.Chosen()) showAttempt(*dialog.Chosen());
}

void WritingWindow::toggleSheet(bool on) {
    if (on) {
        sheet_->SetAnswer(editor_->toPlainText(), task_.limit.max);
        pages_->setCurrentIndex(1);
    } else if (pages_->currentIndex() == 1) {
        pages_->setCurrentIndex(locked_ && attempt_.score ? 2 : 0);
    }
}

void WritingWindow::print(bool pdf) {
    sheet_->SetAnswer(editor_->toPlainText(), task_.limit.max);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (pdf) {
        TFileDialog save(TFileDialog::Kind::Save);
        save.Title = QStringLiteral("存为PDF");
        save.Filter = QStringLiteral("PDF 文件 (*.pdf)|*.pdf");
        save.DefaultExt = QStringLiteral(".pdf");
        save.FileName = QStringLiteral("申论作答.pdf");
        if (!save.Execute(this)) return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(save.FileName);
    } else {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    sheet_->Print(&printer, task_.text);
}

void WritingWindow::SetDeadline(qint64 deadlineMs, std::function<qint64()> now) {
    deadlineMs_ = deadlineMs;
    now_ = std::move(now);
    countdown_->show();
    clock_->start();
    tick();
}

void WritingWindow::tick() {
    const qint64 left = (deadlineMs_ - (now_ ? now_() : QDateTime::currentMSecsSinceEpoch())) / 1000;
    if (left <= 0) return HandIn();
    countdown_->setText(QStringLiteral("剩余 %1:%2:%3")
                            .arg(left / 3600)
                            .arg(left / 60 % 60, 2, 10, QLatin1Char('0'))
                            .arg(left % 60, 2, 10, QLatin1Char('0')));
}

void WritingWindow::closeEvent(QCloseEvent* e) {
    SaveNow();
    e->accept();
}

} // namespace essay
