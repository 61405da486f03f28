#pragma once

#include <QString>

// Release notes arrive from the network as HTML of any shape. Before they are shown they
// are rebuilt from a short list of text tags (paragraphs, lists, emphasis, headings, code,
// links): no attributes but a link's https address, no images, styles, scripts or
// anything else that could load a resource, at most maximumDepth tags deep (the text of
// deeper tags is kept) and at most maximumLength characters long.
class ReleaseNotesHtml
{
public:
    static constexpr int maximumDepth = 32;
    static constexpr qsizetype maximumLength = 64 * 1024;

    static QString sanitize(const QString& html);
};
