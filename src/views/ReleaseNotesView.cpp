#include "views/ReleaseNotesView.h"

#include "models/ReleaseNotesHtml.h"

ReleaseNotesView::ReleaseNotesView(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

void ReleaseNotesView::setNotes(const QString& html)
{
    setHtml(ReleaseNotesHtml::sanitize(html));
}

QVariant ReleaseNotesView::loadResource(int /*type*/, const QUrl& /*name*/)
{
    // QTextBrowser, and the document after it when this returns nothing, would read any
    // local file named here (file:///dev/zero included). An empty answer is an answer: the
    // document shows a blank in its place and loads nothing itself.
    ++m_refused;
    return QVariant::fromValue(QByteArray());
}
