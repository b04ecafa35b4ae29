#include "exam/PageWatch.h"

QString TPageWatch::Script(const QString& name) {
    // Only our question page (css/Question.html of the program's folder) is
    // watched; option ids are "<question>/<index>", letters 'A' + index.
    return QStringLiteral(
               "if (location.protocol !== 'file:' || !/\\/css\\/question\\.html$/i.test(location.pathname)) return;\n"
               "document.addEventListener('change', function(e){\n"
               "  var t = e.target;\n"
               "  if (!t || t.tagName !== 'INPUT') return;\n"
               "  var m = /^(\\d+)\\/\\d+$/.exec(t.id || '');\n"
               "  if (!m) return;\n"
               "  var letters = '';\n"
               "  for (var j = 0; ; j++) {\n"
               "    var o = document.getElementById(m[1] + '/' + j);\n"
               "    if (!o) break;\n"
               "    if (o.checked) letters += String.fromCharCode(65 + j);\n"
               "  }\n"
               "  var id = parseInt(m[1], 10);\n"
               "  quilloraChannel(function(objects){ objects['%1'].answered(id, letters); });\n"
               "}, true);\n")
        .arg(name);
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

void TPageWatch::answered(int id, const QString& letters) {
    // Anything else is not a tick of ours.
    for (QChar c : letters)
        if (c.unicode() < 'A') return;
    emit Answered(id, letters);
}
