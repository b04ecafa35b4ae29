#include "exam/PageWatch.h"

QString TPageWatch::Script(const QString& name) {
    // Only our question page (css/Question.html of the program's folder) is
    // watched; option ids are "<question>/<index>", letters 'A' + index.
    return QStringLiteral(
               "if (location.protocol !== 'file:' || !/\\/css\\/question\\.html$/i.test(location.pathname)) "
               "return;\n"
               "function lettersOf(id){\n"
               "  var letters = '';\n"
               "  for (var j = 0; ; j++) {\n"
               "    var o = document.getElementById(id + '/' + j);\n"
               "    if (!o) return letters;\n"
               "    if (o.checked) letters += String.fromCharCode(65 + j);\n"
               "  }\n"
               "}\n"
               "document.addEventListener('change', function(e){\n"
               "  var t = e.target;\n"
               "  if (!t || t.tagName !== 'INPUT') return;\n"
               "  var m = /^(\\d+)\\/\\d+$/.exec(t.id || '');\n"
               "  if (!m) return;\n"
               "  var id = parseInt(m[1], 10), letters = lettersOf(m[1]);\n"
               "  quilloraChannel(function(objects){ objects['%1'].answered(id, letters); });\n"
               "  if (practising && t.type === 'radio') judge(m[1]);\n"
               "}, true);\n"
               // While a timed exam runs, a click on a question's 显示答案 (the
               // user's, or showAllAnswer's) stops before the page's own handler.
               "var answersLocked = false;\n"
               "function isShowButton(t){ return t && t.tagName === 'SPAN' && /^ShowButton\\d+$/.test(t.id "
               "|| ''); }\n"
               "window.addEventListener('click', function(e){\n"
               "  if (answersLocked && isShowButton(e.target)) { e.stopImmediatePropagation(); "
               "e.preventDefault(); }\n"
               "}, true);\n"
               "window.quilloraLockAnswers = function(on, tip){\n"
               "  var spans = document.getElementsByTagName('span');\n"
               "  for (var i = 0; i < spans.length; i++) {\n"
               "    var s = spans[i];\n"
               "    if (!isShowButton(s)) continue;\n"
               "    if (on && s.innerText == '隐藏答案') s.click();\n"
               "    if (on) { s.title = tip; s.style.opacity = '0.5'; } else { s.removeAttribute('title'); "
               "s.style.opacity = ''; }\n"
               "  }\n"
               "  answersLocked = on;\n"
               "};\n"
               // 练习模式: a ticked radio is judged at once; a question of check
               // boxes gets a 确定 after its options. The program judges and answers
               // with quilloraJudged.
               "var practising = false, titleColours = new Map();\n"
               "function judge(id){\n"
               "  var letters = lettersOf(id);\n"
               "  quilloraChannel(function(objects){ objects['%1'].judge(parseInt(id, 10), letters); });\n"
               "}\n"
               "window.quilloraPractise = function(on){\n"
               "  practising = on;\n"
               "  var seen = {}, boxes = document.querySelectorAll('input[type=checkbox]');\n"
               "  for (var i = 0; i < boxes.length; i++) {\n"
               "    var m = /^(\\d+)\\/\\d+$/.exec(boxes[i].id || '');\n"
               "    if (!m || seen[m[1]]) continue;\n"
               "    seen[m[1]] = true;\n"
               "    var button = document.getElementById('quillora-confirm-' + m[1]);\n"
               "    if (!on) { if (button) button.closest('tr').remove(); continue; }\n"
               "    if (button) continue;\n"
               "    var last = boxes[i], n = 0, o;\n"
               "    while ((o = document.getElementById(m[1] + '/' + n))) { last = o; n++; }\n"
               "    var row = last.closest('tr');\n"
               "    if (!row) continue;\n"
               "    var tr = document.createElement('tr'), td = document.createElement('td');\n"
               "    td.className = 'TestContent';\n"
               "    button = document.createElement('button');\n"
               "    button.type = 'button';\n"
               "    button.id = 'quillora-confirm-' + m[1];\n"
               "    button.textContent = '确定';\n"
               "    button.addEventListener('click', (function(id){ return function(){ judge(id); }; "
               "})(m[1]));\n"
               "    td.appendChild(button);\n"
               "    tr.appendChild(td);\n"
               "    row.parentNode.insertBefore(tr, row.nextSibling);\n"
               "  }\n"
               "};\n"
               // A task without options (申论) gets a 作答 link after its text;
               // the writing window is the program's.
               "function addWriteLinks(){\n"
               "  var hidden = document.querySelectorAll('input[name=da]');\n"
               "  for (var i = 0; i < hidden.length; i++) {\n"
               "    var m = /^(\\d+)_\\1$/.exec(hidden[i].id || '');\n"
               "    if (!m || document.getElementById(m[1] + '/0')) continue;\n"
               "    var t = document.getElementById('T' + m[1] + '_' + m[1]);\n"
               "    if (!t || document.getElementById('quillora-write-' + m[1])) continue;\n"
               "    var a = document.createElement('a');\n"
               "    a.href = '#'; a.id = 'quillora-write-' + m[1]; a.className = 'ShowAnswer';\n"
               "    a.textContent = '作答'; a.style.marginLeft = '1em';\n"
               "    a.addEventListener('click', (function(id){ return function(e){\n"
               "      e.preventDefault();\n"
               "      quilloraChannel(function(objects){ objects['%1'].write(id); });\n"
               "    }; })(parseInt(m[1], 10)));\n"
               "    t.parentNode.appendChild(a);\n"
               "  }\n"
               "}\n"
               "if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', "
               "addWriteLinks);\n"
               "else addWriteLinks();\n"
               "window.quilloraJudged = function(id, n, right){\n"
               "  var t = document.getElementById('T' + id + '_' + id);\n"
               "  if (t) {\n"
               "    if (!titleColours.has(t)) titleColours.set(t, t.style.color);\n"
               "    t.style.color = right ? titleColours.get(t) : 'red';\n"
               "  }\n"
               "  var b = document.getElementById('ShowButton' + n);\n"
               "  if (b && b.innerText == '显示答案') b.click();\n"
               "};\n")
        .arg(name);
}

QString TPageWatch::PracticeScript(bool on) {
    return QStringLiteral("window.quilloraPractise && quilloraPractise(%1);")
        .arg(on ? QStringLiteral("true") : QStringLiteral("false"));
}

QString TPageWatch::JudgedScript(int id, int number, bool right) {
    return QStringLiteral("window.quilloraJudged && quilloraJudged(%1, %2, %3);")
        .arg(id)
        .arg(number)
        .arg(right ? QStringLiteral("true") : QStringLiteral("false"));
}

void TPageWatch::judge(int id, const QString& letters) {
    for (QChar c : letters)
        if (c.unicode() < 'A' || c.unicode() > 'Z') return;
    emit JudgeAsked(id, letters);
}

QString TPageWatch::AnswerLockScript(bool on) {
    return on ? QStringLiteral("window.quilloraLockAnswers && quilloraLockAnswers(true, '%1');")
                    .arg(QString::fromUtf16(kAnswersLockedTip))
              : QStringLiteral("window.quilloraLockAnswers && quilloraLockAnswers(false);");
}

QString TPageWatch::LockScript() {
    return QStringLiteral(
        "Array.prototype.forEach.call(document.querySelectorAll('input[type=radio],input[type=checkbox]'),"
        "function(e){ e.disabled = true; });");
}

QString TPageWatch::ScrollScript(int id) {
    return QStringLiteral("(function(){ var t = document.getElementById('T%1_%1');"
                          " if (t) t.scrollIntoView({block: 'start'}); })();")
        .arg(id);
}

void TPageWatch::write(int id) {
    if (id > 0) emit WriteAsked(id);
}

void TPageWatch::answered(int id, const QString& letters) {
    // Anything else is not a tick of ours.
    for (QChar c : letters)
        if (c.unicode() < 'A') return;
    emit Answered(id, letters);
}
