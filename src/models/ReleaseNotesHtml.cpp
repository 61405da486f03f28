#include "models/ReleaseNotesHtml.h"

#include <QList>
#include <QUrl>

namespace {

bool isAllowed(QStringView tag)
{
    static const QStringList allowed = {
        QStringLiteral("p"),     QStringLiteral("div"),    QStringLiteral("span"),
        QStringLiteral("b"),     QStringLiteral("strong"), QStringLiteral("i"),
        QStringLiteral("em"),    QStringLiteral("u"),      QStringLiteral("code"),
        QStringLiteral("pre"),   QStringLiteral("tt"),     QStringLiteral("ul"),
        QStringLiteral("ol"),    QStringLiteral("li"),     QStringLiteral("h1"),
        QStringLiteral("h2"),    QStringLiteral("h3"),     QStringLiteral("h4"),
        QStringLiteral("h5"),    QStringLiteral("h6"),     QStringLiteral("blockquote"),
        QStringLiteral("a"),     QStringLiteral("sub"),    QStringLiteral("sup"),
        QStringLiteral("small"), QStringLiteral("dl"),     QStringLiteral("dt"),
        QStringLiteral("dd"),
    };
    return allowed.contains(tag);
}

bool isVoid(QStringView tag)
{
    return tag == u"br" || tag == u"hr";
}

// Tags whose whole content is dropped, not only the tag.
bool dropsContent(QStringView tag)
{
    return tag == u"script" || tag == u"style" || tag == u"head" || tag == u"title" ||
           tag == u"iframe" || tag == u"object" || tag == u"svg" || tag == u"math" ||
           tag == u"template" || tag == u"textarea" || tag == u"select";
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':';
}

// The https address of an <a> tag's href attribute, or nothing.
QString secureHref(QStringView attributes)
{
    const qsizetype at = attributes.indexOf(u"href", 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    qsizetype i = at + 4;
    while (i < attributes.size() && attributes[i].isSpace())
        ++i;
    if (i >= attributes.size() || attributes[i] != u'=')
        return {};
    ++i;
    while (i < attributes.size() && attributes[i].isSpace())
        ++i;
    if (i >= attributes.size())
        return {};
    QStringView value;
    if (attributes[i] == u'"' || attributes[i] == u'\'') {
        const qsizetype end = attributes.indexOf(attributes[i], i + 1);
        if (end < 0)
            return {};
        value = attributes.mid(i + 1, end - i - 1);
    } else {
        qsizetype end = i;
        while (end < attributes.size() && !attributes[end].isSpace())
            ++end;
        value = attributes.mid(i, end - i);
    }
    // An attribute's value holds character references as text does ("&amp;" for "&"); the
    // address is written back escaped, so they are undone here, or each pass would add one.
    QString address = value.toString().trimmed();
    address.replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&#39;"), QLatin1String("'"))
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return {};
    return url.toString(QUrl::FullyEncoded).toHtmlEscaped();
}

// Appends text, escaping markup characters; an ampersand stays only where it starts a
// character reference.
void appendText(QString* out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'<') {
            out->append(QLatin1String("&lt;"));
        } else if (c == u'>') {
            out->append(QLatin1String("&gt;"));
        } else if (c == u'&') {
            qsizetype end = i + 1;
            if (end < text.size() && text[end] == u'#')
                ++end;
            while (end < text.size() && end - i < 12 && text[end].isLetterOrNumber())
                ++end;
            const bool reference = end > i + 1 && end < text.size() && text[end] == u';';
            out->append(reference ? QStringLiteral("&") : QStringLiteral("&amp;"));
        } else {
            out->append(c);
        }
    }
}

} // namespace

QString ReleaseNotesHtml::sanitize(const QString& html)
{
    const QStringView in(html);
    QString out;
    out.reserve(std::min(html.size(), maximumLength) + 64);
    QList<QString> open;   // tags written and not yet closed, innermost last
    int skippedDepth = 0;  // allowed tags left out for being too deep, still open
    QString droppingUntil; // inside <script> and the like: everything up to its end tag
    qsizetype i = 0;
    while (i < in.size() && out.size() < maximumLength) {
        if (!droppingUntil.isEmpty()) {
            // Inside <script> and the like everything up to its end tag goes, "<" included.
            const qsizetype end =
                in.indexOf(QString(QStringLiteral("</") + droppingUntil), i, Qt::CaseInsensitive);
            if (end < 0)
                break;
            droppingUntil.clear();
            const qsizetype gt = in.indexOf(u'>', end);
            i = gt < 0 ? in.size() : gt + 1;
            continue;
        }
        qsizetype lt = in.indexOf(u'<', i);
        // A "<" that starts no tag ("1 < 2") is text.
        while (lt >= 0 && lt + 1 < in.size() && !in[lt + 1].isLetter() && in[lt + 1] != u'/' &&
               in[lt + 1] != u'!' && in[lt + 1] != u'?')
            lt = in.indexOf(u'<', lt + 1);
        const qsizetype textEnd = lt < 0 ? in.size() : lt;
        appendText(&out, in.mid(i, std::min(textEnd - i, maximumLength - out.size())));
        if (lt < 0)
            break;
        i = lt;
        if (in.mid(i, 4) == u"<!--") {
            const qsizetype end = in.indexOf(u"-->", i + 4);
            i = end < 0 ? in.size() : end + 3;
            continue;
        }
        const qsizetype gt = in.indexOf(u'>', i + 1);
        if (gt < 0)
            break; // an unfinished tag at the end: left out
        const QStringView tag = in.mid(i + 1, gt - i - 1);
        i = gt + 1;
        const bool closing = tag.startsWith(u'/');
        const QStringView body = closing ? tag.mid(1) : tag;
        qsizetype nameEnd = 0;
        while (nameEnd < body.size() && isNameChar(body[nameEnd]))
            ++nameEnd;
        const QString name = body.left(nameEnd).toString().toLower();
        if (name.isEmpty())
            continue; // <!DOCTYPE>, <?xml?>, a stray "<" with a ">" later
        if (!closing && dropsContent(name)) {
            if (!body.trimmed().endsWith(u'/'))
                droppingUntil = name;
            continue;
        }
        if (isVoid(name)) {
            if (!closing)
                out.append(QStringLiteral("<%1>").arg(name));
            continue;
        }
        if (!isAllowed(name))
            continue;
        if (closing) {
            // Tags left out for depth close first: they are the innermost.
            if (skippedDepth > 0) {
                --skippedDepth;
                continue;
            }
            const qsizetype at = open.lastIndexOf(name);
            if (at < 0)
                continue; // the end of a tag never opened
            while (open.size() > at)
                out.append(QStringLiteral("</%1>").arg(open.takeLast()));
            continue;
        }
        if (open.size() >= maximumDepth) {
            ++skippedDepth;
            continue;
        }
        if (name == u"a") {
            const QString href = secureHref(body.mid(nameEnd));
            out.append(href.isEmpty() ? QStringLiteral("<a>")
                                      : QStringLiteral("<a href=\"%1\">").arg(href));
        } else {
            out.append(QStringLiteral("<%1>").arg(name));
        }
        open.append(name);
    }
    while (!open.isEmpty())
        out.append(QStringLiteral("</%1>").arg(open.takeLast()));
    return out;
}
