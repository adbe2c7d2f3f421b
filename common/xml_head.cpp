#include "common/xml_head.h"

namespace xml {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The value of `attribute` among the attributes from `at` to the tag's end.
QString attributeFrom(QByteArrayView head, qsizetype at, QByteArrayView attribute)
{
    const qsizetype end = head.indexOf('>', at);
    const QByteArrayView tag = head.sliced(at, (end < 0 ? head.size() : end) - at);
    for (qsizetype from = 0; (from = tag.indexOf(attribute, from)) >= 0; from += attribute.size()) {
        if (from == 0 || !isSpace(tag[from - 1]))
            continue;
        qsizetype i = from + attribute.size();
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            continue;
        ++i;
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\''))
            continue;
        const qsizetype close = tag.indexOf(tag[i], i + 1);
        if (close < 0)
            return QString();
        return QString::fromLatin1(tag.sliced(i + 1, close - i - 1));
    }
    return QString();
}

} // namespace

QString declaredEncodingIn(QByteArrayView head)
{
    for (QByteArrayView bom :
        {QByteArrayView("\xEF\xBB\xBF"), QByteArrayView("\xFF\xFE"), QByteArrayView("\xFE\xFF")}) {
        if (head.startsWith(bom)) {
            head = head.sliced(bom.size());
            break;
        }
    }
    qsizetype at = 0;
    while (at < head.size() && isSpace(head[at]))
        ++at;
    if (!head.sliced(at).startsWith("<?xml") || at + 5 >= head.size() || !isSpace(head[at + 5]))
        return QString();
    const qsizetype end = head.indexOf("?>", at);
    const QString name = attributeFrom(end < 0 ? head : head.first(end), at + 5, "encoding");
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'.' && c != u'_' && c != u'-')
            return QString();
    }
    return name;
}

QString attributeInHead(QByteArrayView head, QByteArrayView element, QByteArrayView attribute)
{
    for (qsizetype at = 0; (at = head.indexOf('<', at)) >= 0; ++at) {
        const qsizetype after = at + 1 + element.size();
        if (head.sliced(at + 1).startsWith(element) && after < head.size() && isSpace(head[after]))
            return attributeFrom(head, after, attribute);
    }
    return QString();
}

} // namespace xml
