#include "exchange/Sanitizer.h"

#include "exchange/Pictures.h"

#include <gumbo.h>

#include <QByteArray>
#include <QStringView>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace exchange {

namespace {

// Elements we would write deeper than this, or after this many, become their text.
constexpr int kMaxDepth = 100;
constexpr int kMaxTags = 5000;

void AppendEscaped(QString& out, QStringView text) {
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += u"&amp;";
            break;
        case '<':
            out += u"&lt;";
            break;
        case '>':
            out += u"&gt;";
            break;
        case '"':
            out += u"&quot;";
            break;
        default:
            out += c;
        }
    }
}

bool AsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool TagAt(const QByteArray& s, qsizetype i) {
    if (s.at(i) != '<' || i + 1 >= s.size()) return false;
    if (AsciiLetter(s.at(i + 1))) return true;
    return s.at(i + 1) == '/' && i + 2 < s.size() && AsciiLetter(s.at(i + 2));
}

// The parser's time grows with the number of tags times their nesting, so
// it sees at most kMaxTags start tags. After them every tag is taken out and
// every '<' left is escaped: the rest can only be text.
QByteArray LimitTags(const QByteArray& in) {
    int starts = 0;
    qsizetype i = 0;
    for (; i < in.size(); ++i) {
        if (TagAt(in, i) && in.at(i + 1) != '/' && ++starts > kMaxTags) break;
    }
    if (i >= in.size()) return in;
    QByteArray out = in.left(i);
    while (i < in.size()) {
        if (TagAt(in, i)) {
            const qsizetype end = in.indexOf('>', i);
            i = end < 0 ? in.size() : end + 1;
        } else if (in.at(i) == '<') {
            out += "&lt;";
            ++i;
        } else {
            out += in.at(i++);
        }
    }
    return out;
}

// Dropped with everything inside: active content, forms and foreign markup.
bool IsDropped(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_FRAMESET:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_APPLET:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_BUTTON:
    case GUMBO_TAG_SELECT:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_SVG:
    case GUMBO_TAG_MATH:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_HEAD:
        return true;
    default:
        return false;
    }
}

// What the element we are writing into may hold. Tables hold only their
// sections, rows and cells, so that reading our output again builds the same tree.
enum class Holds { Flow, Table, Section, Row };

std::optional<int> SmallInt(const GumboNode* node, const char* name, int min, int max) {
    const GumboAttribute* a = gumbo_get_attribute(&node->v.element.attributes, name);
    if (!a) return std::nullopt;
    const QByteArray v = QByteArray(a->value).trimmed();
    if (v.isEmpty() || v.size() > 5) return std::nullopt;
    for (const char c : v)
        if (c < '0' || c > '9') return std::nullopt;
    const int value = v.toInt();
    if (value < min || value > max) return std::nullopt;
    return value;
}

void AppendInt(QString& out, const GumboNode* node, const char* name, int min, int max) {
    if (const auto v = SmallInt(node, name, min, max))
        out += QStringLiteral(" %1=\"%2\"").arg(QLatin1StringView(name)).arg(*v);
}

class Writer {
public:
    explicit Writer(const Pictures& pictures) : pictures_(pictures) {}

    QString Write(const GumboNode* root) {
        // An explicit stack: the tree is as deep as the input makes it.
        struct Frame {
            const GumboNode* node;
            unsigned next;
            bool wrote; // its start tag is written, its end tag is owed
            bool flat;  // only text from here down
        };
        std::vector<Frame> frames{{root, 0, false, false}};
        while (!frames.empty()) {
            Frame& f = frames.back();
            const GumboVector& children = f.node->v.element.children;
            if (f.next >= children.length) {
                if (f.wrote) {
                    out_ += QStringLiteral("</%1>").arg(
                        QLatin1StringView(gumbo_normalized_tagname(open_.back().tag)));
                    open_.pop_back();
                }
                frames.pop_back();
                continue;
            }
            const auto* child = static_cast<const GumboNode*>(children.data[f.next++]);
            const bool flat = f.flat; // `f` dangles once a frame is pushed
            if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE ||
                child->type == GUMBO_NODE_CDATA) {
                if (holds() == Holds::Flow) AppendEscaped(out_, QString::fromUtf8(child->v.text.text));
                continue;
            }
            if (child->type != GUMBO_NODE_ELEMENT || IsDropped(child->v.element.tag) ||
                child->v.element.tag_namespace != GUMBO_NAMESPACE_HTML)
                continue; // comments, templates, active and foreign content
            const Outcome outcome = flat ? Outcome::Deep : Start(child);
            switch (outcome) {
            case Outcome::Opened:
                frames.push_back({child, 0, true, false});
                break;
            case Outcome::Written:
                break;
            case Outcome::Unwrapped:
            case Outcome::Deep:
                // Its text stays, except where a table has no place for text.
                if (holds() == Holds::Flow) frames.push_back({child, 0, false, outcome == Outcome::Deep});
                break;
            }
        }
        return out_;
    }

private:
    enum class Outcome { Opened, Written, Unwrapped, Deep };
    struct OpenElement {
        GumboTag tag;
        Holds holds;
    };

    Holds holds() const { return open_.empty() ? Holds::Flow : open_.back().holds; }

    // Read again, a new p, list or table would close this p.
    bool PInButtonScope() const {
        for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
            if (it->tag == GUMBO_TAG_P) return true;
            if (it->tag == GUMBO_TAG_TABLE || it->tag == GUMBO_TAG_TD || it->tag == GUMBO_TAG_TH ||
                it->tag == GUMBO_TAG_CAPTION)
                return false;
        }
        return false;
    }

    // Read again, a new li would close this li.
    bool LiOpen() const {
        for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
            switch (it->tag) {
            case GUMBO_TAG_LI:
                return true;
            case GUMBO_TAG_UL:
            case GUMBO_TAG_OL:
            case GUMBO_TAG_TABLE:
            case GUMBO_TAG_TD:
            case GUMBO_TAG_TH:
            case GUMBO_TAG_CAPTION:
                return false;
            default:
                break;
            }
        }
        return false;
    }

    Outcome Open(GumboTag tag, Holds inside, const QString& attributes = {}) {
        out_ += QStringLiteral("<%1%2>").arg(QLatin1StringView(gumbo_normalized_tagname(tag)), attributes);
        open_.push_back({tag, inside});
        ++written_;
        return Outcome::Opened;
    }

    Outcome Start(const GumboNode* node) {
        if (written_ >= kMaxTags) return Outcome::Deep;
        const GumboTag tag = node->v.element.tag;
        const Holds here = holds();
        const int depth = int(open_.size());
        switch (tag) {
        case GUMBO_TAG_THEAD:
        case GUMBO_TAG_TBODY:
        case GUMBO_TAG_TFOOT:
            return here == Holds::Table ? Open(tag, Holds::Section) : Outcome::Unwrapped;
        case GUMBO_TAG_CAPTION:
            return here == Holds::Table ? Open(tag, Holds::Flow) : Outcome::Unwrapped;
        case GUMBO_TAG_TR:
            return here == Holds::Section ? Open(tag, Holds::Row) : Outcome::Unwrapped;
        case GUMBO_TAG_TD:
        case GUMBO_TAG_TH: {
            if (here != Holds::Row) return Outcome::Unwrapped;
            QString attributes;
            AppendInt(attributes, node, "colspan", 1, 100);
            AppendInt(attributes, node, "rowspan", 1, 100);
            return Open(tag, Holds::Flow, attributes);
        }
        default:
            break;
        }
        if (here != Holds::Flow) return Outcome::Unwrapped;
        switch (tag) {
        case GUMBO_TAG_BR:
            out_ += u"<br>";
            ++written_;
            return Outcome::Written;
        case GUMBO_TAG_IMG: {
            const QString img = Picture(node);
            if (img.isEmpty()) return Outcome::Unwrapped;
            out_ += img;
            ++written_;
            return Outcome::Written;
        }
        case GUMBO_TAG_TABLE: {
            // Kept whole or as text: table, section, row and cell all fit.
            if (depth + 4 > kMaxDepth) return Outcome::Deep;
            if (PInButtonScope()) return Outcome::Unwrapped;
            QString attributes;
            AppendInt(attributes, node, "border", 0, 20);
            AppendInt(attributes, node, "cellspacing", 0, 20);
            AppendInt(attributes, node, "cellpadding", 0, 20);
            return Open(tag, Holds::Table, attributes);
        }
        case GUMBO_TAG_P:
        case GUMBO_TAG_UL:
        case GUMBO_TAG_OL:
        case GUMBO_TAG_LI:
            if (depth >= kMaxDepth) return Outcome::Deep;
            if (PInButtonScope() || (tag == GUMBO_TAG_LI && LiOpen())) return Outcome::Unwrapped;
            return Open(tag, Holds::Flow);
        case GUMBO_TAG_B:
        case GUMBO_TAG_STRONG:
        case GUMBO_TAG_I:
        case GUMBO_TAG_EM:
        case GUMBO_TAG_U:
        case GUMBO_TAG_SUB:
        case GUMBO_TAG_SUP:
        case GUMBO_TAG_SPAN:
            if (depth >= kMaxDepth) return Outcome::Deep;
            return Open(tag, Holds::Flow);
        default:
            return Outcome::Unwrapped;
        }
    }

    // A picture this import brought in, by the exact src the import wrote.
    QString Picture(const GumboNode* node) const {
        const GumboAttribute* src = gumbo_get_attribute(&node->v.element.attributes, "src");
        if (!src) return {};
        const QString value = QString::fromUtf8(src->value);
        const QLatin1StringView prefix("../images/bank/");
        if (!value.startsWith(prefix)) return {};
        const QString name = value.mid(prefix.size());
        if (!IsPictureFileName(name)) return {};
        const qsizetype dot = name.indexOf(u'.');
        const auto it = pictures_.find(name.left(dot));
        if (it == pictures_.end() || it->second.ext != name.mid(dot + 1)) return {};
        QString img = QStringLiteral("<img src=\"%1\"").arg(value);
        AppendInt(img, node, "width", 1, 4096);
        AppendInt(img, node, "height", 1, 4096);
        return img + u'>';
    }

    const Pictures& pictures_;
    std::vector<OpenElement> open_;
    int written_ = 0;
    QString out_;
};

} // namespace

QString SanitizeHtml(const QString& html, const Pictures& pictures) {
    // Most texts hold no markup at all: the parser would give them back as
    // they are, trimmed, so it is not started for them.
    bool markup = false;
    for (const QChar c : html)
        if (c == u'<' || c == u'&' || c == u'>' || c == u'"' || c == u'\r' || c.unicode() == 0 ||
            c.unicode() == 0xFEFF) {
            markup = true;
            break;
        }
    if (!markup) return html.trimmed();
    const QByteArray utf8 = LimitTags(html.toUtf8());
    GumboOptions options = kGumboDefaultOptions;
    options.fragment_context = GUMBO_TAG_DIV;
    options.fragment_namespace = GUMBO_NAMESPACE_HTML;
    options.max_errors = 0;
    GumboOutput* parsed = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
    const std::unique_ptr<GumboOutput, void (*)(GumboOutput*)> guard(
        parsed, [](GumboOutput* p) { gumbo_destroy_output(&kGumboDefaultOptions, p); });
    if (!parsed || !parsed->root) return {};
    return Writer(pictures).Write(parsed->root).trimmed();
}

QString PlainToHtml(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < n && text.at(i + 1) == u'\n') ++i;
            out += u"<br>";
        } else if (c == u'\n') {
            out += u"<br>";
        } else {
            AppendEscaped(out, QStringView(&c, 1));
        }
    }
    return out;
}

QString ToBankHtml(const Text& text, const Pictures& pictures) {
    return text.html ? SanitizeHtml(text.value, pictures) : PlainToHtml(text.value);
}

} // namespace exchange
