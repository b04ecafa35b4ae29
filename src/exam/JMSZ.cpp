#include "exam/JMSZ.h"

#include "platform/Application.h"
#include "platform/Beep.h"
#include "platform/MessageBox.h"
#include "settings/UISet.h"
#include "store/DataModule.h"
#include "store/SqlText.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace {
// The index a run-time control carries in its Tag, checked against the arrays.
size_t indexOf(int tag, size_t count) {
    if (tag < 0 || static_cast<size_t>(tag) >= count) throw std::out_of_range("score control out of range");
    return static_cast<size_t>(tag);
}

// Room for any double in full precision with its exponent ("-2.2250738585072014e-308")
// and a few blanks; a longer paste is cut to this by the edit.
constexpr int kMaxScoreText = 32;

// Blanks, a sign, digits with an optional point (a digit on at least one
// side), an optional exponent, blanks. A scanner, not std::regex: its matcher
// recurses for every character, and a pasted long number overflowed the stack.
bool isPlainNumber(std::string_view s) {
    size_t i = 0;
    const auto at = [&](std::string_view chars) { return i < s.size() && chars.find(s[i]) != chars.npos; };
    const auto skip = [&](std::string_view chars) {
        const size_t from = i;
        while (at(chars))
            ++i;
        return i - from;
    };
    constexpr std::string_view digits = "0123456789";
    skip(" \t");
    if (at("+-")) ++i;
    size_t mantissa = skip(digits);
    if (at(".")) {
        ++i;
        mantissa += skip(digits);
    }
    if (mantissa == 0) return false;
    if (at("eE")) {
        ++i;
        if (at("+-")) ++i;
        if (skip(digits) == 0) return false;
    }
    skip(" \t");
    return i == s.size();
}
} // namespace

QString FormatScore(double v) {
    // Halves round away from zero, as the pattern "0.0" does.
    const double rounded = std::round(v * 10.0) / 10.0;
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 1);
}

bool ParseScore(const QString& text, double& v) {
    // Only plain decimal numbers: the text goes into the UPDATE as it stands.
    const std::string s = text.toStdString();
    if (!isPlainNumber(s)) return false;
    // Read with a dot whatever the locale, as the statement will be.
    const size_t first = s.find_first_not_of(" \t+");
    const size_t last = s.find_last_not_of(" \t");
    const auto [end, ec] = std::from_chars(s.data() + first, s.data() + last + 1, v);
    return ec == std::errc() && end == s.data() + last + 1 && std::isfinite(v);
}

TFrmJMSZ::TFrmJMSZ(WebBrowser* mainBrowser, QWidget* parent) : TDialog(parent), mainBrowser_(mainBrowser) {
    InitForm(QStringLiteral("用户设置"), 628, 362);
    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(8, 8, 612, 306);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("分数设置"));
    PageControl1->addTab(TabSheet2, QStringLiteral("界面设置"));
    BitBtn3 = new QPushButton(QStringLiteral("答题界面设置"), TabSheet2);
    BitBtn3->setGeometry(24, 24, 140, 30);
    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setGeometry(436, 324, 88, 30);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setGeometry(532, 324, 88, 30);
    AttachButton(BitBtn1, mrOk, [this] { BitBtn1Click(); });
    AttachButton(BitBtn2, mrCancel);
    connect(BitBtn3, &QPushButton::clicked, this, Guarded([this] { BitBtn3Click(); }));
    FormCreate();
}

void TFrmJMSZ::FormCreate() {
    AdoQuery& q = DataModule1->ADOQuery2;
    q.Close();
    q.SQL.Clear();
    q.SQL.Add("SELECT 题目类型 FROM 类型说明");
    q.Open();
    const size_t count = static_cast<size_t>(q.RecordCount());
    ScoreLabels.reserve(count);
    ScoreEdits.reserve(count);
    ScoreSpins.reserve(count);
    int x = 0, y = 18;
    for (int i = 0; !q.Eof(); q.Next(), ++i) {
        auto* label = new QLabel(QString::fromStdString(q.FieldByName("题目类型").AsString()), TabSheet1);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(x, y + 3, 100, 18);
        auto* edit = new QLineEdit(QStringLiteral("1.0"), TabSheet1);
        edit->setMaxLength(kMaxScoreText);
        edit->setGeometry(label->x() + label->width(), y, 50, 24);
        auto* spin = new TUpDown(TabSheet1);
        spin->Tag = i;
        spin->setGeometry(edit->x() + edit->width(), y - 1, 20, 26);
        connect(spin, &TUpDown::UpClick, this, Guarded([this](TUpDown* s) { ActUPExecute(s); }));
        connect(spin, &TUpDown::DownClick, this, Guarded([this](TUpDown* s) { ActDownExecute(s); }));
        connect(edit, &QLineEdit::textChanged, this, Guarded([this, edit] { ActChangeExecute(edit); }));
        ScoreLabels.push_back(label);
        ScoreEdits.push_back(edit);
        ScoreSpins.push_back(spin);
        if ((i + 1) % 3 == 0) {
            x = 0;
            y += 30;
        } else {
            x += 200;
        }
    }
    q.Close();
}

void TFrmJMSZ::ActUPExecute(TUpDown* sender) {
    QLineEdit* edit = ScoreEdits[indexOf(sender->Tag, ScoreEdits.size())];
    double v = 0;
    ParseScore(edit->text(), v);
    if (v + 1 > 100) return Beep();
    edit->setText(FormatScore(v + 1));
}

void TFrmJMSZ::ActDownExecute(TUpDown* sender) {
    QLineEdit* edit = ScoreEdits[indexOf(sender->Tag, ScoreEdits.size())];
    double v = 0;
    ParseScore(edit->text(), v);
    if (v - 1 >= 0)
        edit->setText(FormatScore(v - 1));
    else
        Beep();
}

void TFrmJMSZ::ActChangeExecute(QLineEdit* sender) {
    double v = 0;
    if (ParseScore(sender->text(), v)) return;
    Beep();
    sender->setText(QStringLiteral("1.0"));
}

void TFrmJMSZ::BitBtn1Click() {
    // An error is shown and the dialog still closes, with the types before the
    // failing one stored.
    try {
        AdoQuery& q = DataModule1->ADOQuery2;
        for (size_t i = 0; i < ScoreEdits.size(); ++i) {
            q.Close();
            q.SQL.Clear();
            q.SQL.Add("UPDATE 类型说明 SET 分数=");
            q.SQL.Add(ScoreEdits[i]->text().toStdString());
            q.SQL.Add(" WHERE 题目类型=");
            q.SQL.Add(QuotedStr(ScoreLabels[i]->text().trimmed().toStdString()));
            q.ExecSQL();
        }
    } catch (...) {
        HandleException();
        return;
    }
    MessageBox(QStringLiteral("分数设置保存成功！"), QStringLiteral("操作成功"), MB_ICONINFORMATION | MB_OK);
}

void TFrmJMSZ::BitBtn3Click() {
    ExecuteUISet(mainBrowser_, this);
}
