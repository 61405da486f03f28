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

constexpr qsizetype maximumLength = ReleaseNotesHtml::maximumLength;

// One pass over the notes, writing what is kept: text as text, allowed tags re-written from
// their names alone (and a link's secure address), every tag closed in order.
class Sanitizer
{
public:
    explicit Sanitizer(QStringView in) : m_in(in)
    {
        m_out.reserve(std::min(in.size(), maximumLength) + 64);
    }

    QString run()
    {
        while (m_at < m_in.size() && m_out.size() < maximumLength) {
            if (!m_droppingUntil.isEmpty()) {
                if (!skipDroppedContent())
                    break;
                continue;
            }
            const qsizetype lt = nextTagStart();
            const qsizetype textEnd = lt < 0 ? m_in.size() : lt;
            appendText(&m_out,
                       m_in.mid(m_at, std::min(textEnd - m_at, maximumLength - m_out.size())));
            if (lt < 0)
                break;
            m_at = lt;
            if (m_in.mid(m_at, 4) == u"<!--") {
                const qsizetype end = m_in.indexOf(u"-->", m_at + 4);
                m_at = end < 0 ? m_in.size() : end + 3;
                continue;
            }
            const qsizetype gt = m_in.indexOf(u'>', m_at + 1);
            if (gt < 0)
                break; // an unfinished tag at the end: left out
            const QStringView tag = m_in.mid(m_at + 1, gt - m_at - 1);
            m_at = gt + 1;
            takeTag(tag);
        }
        while (!m_open.isEmpty())
            m_out.append(QStringLiteral("</%1>").arg(m_open.takeLast()));
        return m_out;
    }

private:
    // Inside <script> and the like everything up to its end tag goes, "<" included. False
    // when the end tag never comes.
    bool skipDroppedContent()
    {
        const qsizetype end = m_in.indexOf(QString(QStringLiteral("</") + m_droppingUntil), m_at,
                                           Qt::CaseInsensitive);
        if (end < 0)
            return false;
        m_droppingUntil.clear();
        const qsizetype gt = m_in.indexOf(u'>', end);
        m_at = gt < 0 ? m_in.size() : gt + 1;
        return true;
    }

    // Where the next tag starts; -1 when none does. A "<" that starts no tag ("1 < 2") is
    // text.
    qsizetype nextTagStart() const
    {
        qsizetype lt = m_in.indexOf(u'<', m_at);
        while (lt >= 0 && lt + 1 < m_in.size() && !m_in[lt + 1].isLetter() &&
               m_in[lt + 1] != u'/' && m_in[lt + 1] != u'!' && m_in[lt + 1] != u'?')
            lt = m_in.indexOf(u'<', lt + 1);
        return lt;
    }

    // The text between "<" and ">".
    void takeTag(QStringView tag)
    {
        const bool closing = tag.startsWith(u'/');
        const QStringView body = closing ? tag.mid(1) : tag;
        qsizetype nameEnd = 0;
        while (nameEnd < body.size() && isNameChar(body[nameEnd]))
            ++nameEnd;
        const QString name = body.left(nameEnd).toString().toLower();
        if (name.isEmpty())
            return; // <!DOCTYPE>, <?xml?>, a stray "<" with a ">" later
        if (!closing && dropsContent(name)) {
            if (!body.trimmed().endsWith(u'/'))
                m_droppingUntil = name;
            return;
        }
        if (isVoid(name)) {
            if (!closing)
                m_out.append(QStringLiteral("<%1>").arg(name));
            return;
        }
        if (!isAllowed(name))
            return;
        if (closing)
            close(name);
        else
            open(name, body.mid(nameEnd));
    }

    void close(const QString& name)
    {
        // Tags left out for depth close first: they are the innermost.
        if (m_skippedDepth > 0) {
            --m_skippedDepth;
            return;
        }
        const qsizetype at = m_open.lastIndexOf(name);
        if (at < 0)
            return; // the end of a tag never opened
        while (m_open.size() > at)
            m_out.append(QStringLiteral("</%1>").arg(m_open.takeLast()));
    }

    void open(const QString& name, QStringView attributes)
    {
        if (m_open.size() >= ReleaseNotesHtml::maximumDepth) {
            ++m_skippedDepth;
            return;
        }
        if (name == u"a") {
            const QString href = secureHref(attributes);
            m_out.append(href.isEmpty() ? QStringLiteral("<a>")
                                        : QStringLiteral("<a href=\"%1\">").arg(href));
        } else {
            m_out.append(QStringLiteral("<%1>").arg(name));
        }
        m_open.append(name);
    }

    const QStringView m_in;
    qsizetype m_at = 0; // where reading goes on in m_in
    QString m_out;
    QList<QString> m_open;   // tags written and not yet closed, innermost last
    int m_skippedDepth = 0;  // allowed tags left out for being too deep, still open
    QString m_droppingUntil; // inside <script> and the like: everything up to its end tag
};

} // namespace

QString ReleaseNotesHtml::sanitize(const QString& html)
{
    return Sanitizer(html).run();
}
