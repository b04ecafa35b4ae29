#include "exchange/LmsSupport.h"

#include <QStringDecoder>

namespace exchange {

bool DecodeUtf8File(const QByteArray& bytes, const Limits& limits, QString& text, ParsedFile& out) {
    if (bytes.size() > limits.maxFileBytes) {
        out.problems.push_back(
            {0, {}, QStringLiteral("文件超过 %1 MB，不能导入").arg(limits.maxFileBytes >> 20), true});
        return false;
    }
    QByteArrayView data(bytes);
    if (data.startsWith("\xEF\xBB\xBF")) data = data.sliced(3);
    // Stateless: a sequence cut off at the end is an error, not kept for more input.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    text = decoder.decode(data);
    if (decoder.hasError()) {
        text.clear();
        out.problems.push_back(
            {0, {}, QStringLiteral("文件不是 UTF-8 编码的文本，请另存为 UTF-8 后再导入"), true});
        return false;
    }
    return true;
}

QString CategoryFromPath(const QString& path) {
    QStringList parts;
    for (const QString& raw : path.split(QLatin1Char('/'))) {
        const QString part = raw.trimmed();
        if (part.isEmpty()) continue;
        const bool context =
            part.size() > 1 && part.startsWith(QLatin1Char('$')) && part.endsWith(QLatin1Char('$'));
        if (parts.isEmpty() && (context || part == u"top")) continue;
        parts.push_back(part);
    }
    return parts.join(QLatin1Char('/'));
}

QString ChoiceKey(const std::vector<double>& weights, bool single) {
    QString key;
    if (single) {
        std::size_t best = weights.size();
        for (std::size_t i = 0; i < weights.size(); ++i)
            if (weights[i] > 0 && (best == weights.size() || weights[i] > weights[best])) best = i;
        if (best < weights.size()) key = QChar(u'A' + static_cast<char16_t>(best));
        return key;
    }
    for (std::size_t i = 0; i < weights.size(); ++i)
        if (weights[i] > 0) key += QChar(u'A' + static_cast<char16_t>(i));
    return key;
}

bool AddRecord(ParsedFile& out, Record&& record, const Limits& limits) {
    if (out.records.size() >= static_cast<std::size_t>(std::max(limits.maxRecords, 0))) {
        out.problems.push_back(
            {record.line, {}, QStringLiteral("题目超过 %1 道，其余的没有读入").arg(limits.maxRecords), true});
        return false;
    }
    out.records.push_back(std::move(record));
    return true;
}

QStringList TextLines(const QString& text) {
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return unified.split(QLatin1Char('\n'));
}

} // namespace exchange
