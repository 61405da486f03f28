#include "models/LookAlikeGrouper.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// A name split for comparison: in normal form C, case folded, the extension apart (views
// into name).
struct ParsedName
{
    QString name;
    QStringView stem;
    QStringView extension;
};

bool isDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// 1 to `maxDigits` digits without a leading zero: a copy's number, never a padded counter.
bool isCopyNumber(QStringView text, qsizetype maxDigits)
{
    return text.size() <= maxDigits && isDigits(text) && text.front().digitValue() != 0;
}

ParsedName parseName(const QString& filename)
{
    ParsedName parsed;
    parsed.name = filename.normalized(QString::NormalizationForm_C).toCaseFolded();
    const QStringView name = parsed.name;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1) {
        parsed.stem = name;
        return parsed;
    }
    parsed.stem = name.first(dot);
    parsed.extension = name.sliced(dot + 1);
    // wget keeps a second download of "foo.pdf" as "foo.pdf.1": the extension is the one
    // before the number.
    if (isCopyNumber(parsed.extension, 3)) {
        const qsizetype inner = parsed.stem.lastIndexOf(u'.');
        if (inner > 0 && inner < parsed.stem.size() - 1 &&
            !isDigits(parsed.stem.sliced(inner + 1))) {
            parsed.extension = parsed.stem.sliced(inner + 1);
            parsed.stem.truncate(inner);
        }
    }
    return parsed;
}

// A hash key: text, then the extension behind a "/", which no file name holds.
QString keyOf(QStringView text, QStringView extension)
{
    QString key;
    key.reserve(text.size() + 1 + extension.size());
    key.append(text).append(u'/').append(extension);
    return key;
}

// GNOME's "3rd copy", "21st copy".
bool isOrdinalCopy(QStringView inner)
{
    if (!inner.endsWith(u" copy"))
        return false;
    const QStringView ordinal = inner.first(inner.size() - 5);
    if (ordinal.size() < 3)
        return false;
    const QStringView suffix = ordinal.last(2);
    return isDigits(ordinal.first(ordinal.size() - 2)) &&
           (suffix == u"st" || suffix == u"nd" || suffix == u"rd" || suffix == u"th");
}

// The length of stem without one copy suffix at its end, or -1 when it has none.
qsizetype withoutCopySuffix(QStringView stem)
{
    if (stem.endsWith(u')')) {
        const qsizetype open = stem.lastIndexOf(u'(');
        if (open < 0)
            return -1;
        const QStringView inner = stem.sliced(open + 1, stem.size() - open - 2);
        // Three digits at most: "Report (2023)" is a year, not the 2023rd copy.
        const bool copy = isCopyNumber(inner, 3) || inner == u"copy" || inner == u"another copy" ||
                          (inner.startsWith(u"copy ") && isDigits(inner.sliced(5))) ||
                          isOrdinalCopy(inner);
        if (!copy)
            return -1;
        return open > 0 && stem[open - 1] == u' ' ? open - 1 : open;
    }
    if (stem.endsWith(u" - copy"))
        return stem.size() - 7;
    if (stem.endsWith(u" copy"))
        return stem.size() - 5;
    qsizetype start = stem.size();
    while (start > 0 && stem[start - 1].isDigit())
        --start;
    if (start < 2 || !isCopyNumber(stem.sliced(start), 2))
        return -1;
    const QChar separator = stem[start - 1];
    const QStringView before = stem.first(start - 1);
    if (separator == u' ' && before.endsWith(u" copy"))
        return before.size() - 5;
    if (separator == u' ' || separator == u'-' || separator == u'_')
        return start - 1;
    return -1;
}

// stem with its copy suffixes taken off ("foo (copy) (1)" -> "foo"); never empty.
QStringView copyBase(QStringView stem)
{
    for (;;) {
        const qsizetype length = withoutCopySuffix(stem);
        if (length <= 0)
            return stem;
        stem.truncate(length);
    }
}

bool hasLetter(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (QChar::isLetter(QChar::surrogateToUcs4(c, text[i + 1])))
                return true;
            ++i;
        } else if (c.isLetter()) {
            return true;
        }
    }
    return false;
}

// The stem with each run of digits replaced by one NUL (which no file name holds), and each
// run's width, negative for a run with a leading zero.
struct Shape
{
    QString text;
    QVarLengthArray<int, 8> runs;
};

Shape shapeOf(QStringView stem)
{
    Shape shape;
    shape.text.reserve(stem.size());
    qsizetype i = 0;
    while (i < stem.size()) {
        if (!stem[i].isDigit()) {
            shape.text.append(stem[i++]);
            continue;
        }
        const qsizetype start = i;
        while (i < stem.size() && stem[i].isDigit())
            ++i;
        const int width = int(i - start);
        const bool padded = width > 1 && stem[start].digitValue() == 0;
        shape.runs.append(padded ? -width : width);
        shape.text.append(QChar(u'\0'));
    }
    return shape;
}

class DisjointSets
{
public:
    explicit DisjointSets(qsizetype count) : m_parent(size_t(count))
    {
        std::iota(m_parent.begin(), m_parent.end(), qsizetype(0));
    }
    qsizetype find(qsizetype i)
    {
        qsizetype root = i;
        while (m_parent[size_t(root)] != root)
            root = m_parent[size_t(root)];
        while (m_parent[size_t(i)] != root) {
            const qsizetype next = m_parent[size_t(i)];
            m_parent[size_t(i)] = root;
            i = next;
        }
        return root;
    }
    // The smaller index stays the root, so a group's root is its first member.
    void join(qsizetype a, qsizetype b)
    {
        a = find(a);
        b = find(b);
        if (a != b)
            m_parent[size_t(std::max(a, b))] = std::min(a, b);
    }

private:
    std::vector<qsizetype> m_parent;
};

// Joins the members of one numbered series bucket (same shape and extension) whose numbers
// agree in width wherever the bucket is zero-padded.
void joinSeries(const QList<qsizetype>& members, const std::vector<Shape>& shapes,
                DisjointSets& sets)
{
    const qsizetype runCount = shapes[size_t(members.first())].runs.size();
    QVarLengthArray<bool, 8> paddedAt(runCount, false);
    for (const qsizetype member : members) {
        const auto& runs = shapes[size_t(member)].runs;
        for (qsizetype r = 0; r < runCount; ++r)
            paddedAt[r] = paddedAt[r] || runs[r] < 0;
    }
    // Widths at the padded places, as a key; the first member of each width joins the rest.
    QHash<QString, qsizetype> firstOfWidths;
    for (const qsizetype member : members) {
        const auto& runs = shapes[size_t(member)].runs;
        QString widths;
        for (qsizetype r = 0; r < runCount; ++r) {
            if (paddedAt[r])
                widths.append(QChar(char16_t(std::abs(runs[r]))));
        }
        const auto found = firstOfWidths.constFind(widths);
        if (found == firstOfWidths.constEnd())
            firstOfWidths.insert(widths, member);
        else
            sets.join(found.value(), member);
    }
}

using Candidate = LookAlikeGrouper::Candidate;

// The group of each item by its name (rules 1 and 2): a group is named by one of its members'
// indexes; -1 for an item in no group.
std::vector<qsizetype> groupsByName(const QList<Candidate>& waiting)
{
    const qsizetype count = waiting.size();
    DisjointSets sets(count);
    std::vector<Shape> shapes(static_cast<size_t>(count));
    QHash<QString, QList<qsizetype>> seriesBuckets;
    QHash<QString, qsizetype> firstOfCopyBase;
    seriesBuckets.reserve(count);
    firstOfCopyBase.reserve(count);

    for (qsizetype i = 0; i < count; ++i) {
        const ParsedName name = parseName(waiting[i].filename);
        const QString base = keyOf(copyBase(name.stem), name.extension);
        const auto found = firstOfCopyBase.constFind(base);
        if (found == firstOfCopyBase.constEnd())
            firstOfCopyBase.insert(base, i);
        else
            sets.join(found.value(), i);

        Shape& shape = shapes[size_t(i)];
        shape = shapeOf(name.stem);
        if (!shape.runs.isEmpty() && hasLetter(name.stem))
            seriesBuckets[keyOf(shape.text, name.extension)].append(i);
    }
    for (const QList<qsizetype>& members : std::as_const(seriesBuckets)) {
        if (members.size() > 1)
            joinSeries(members, shapes, sets);
    }

    std::vector<qsizetype> groupOf(static_cast<size_t>(count), -1);
    std::vector<int> sizes(static_cast<size_t>(count), 0);
    for (qsizetype i = 0; i < count; ++i)
        ++sizes[size_t(sets.find(i))];
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype root = sets.find(i);
        if (sizes[size_t(root)] > 1)
            groupOf[size_t(i)] = root;
    }
    return groupOf;
}

// Groups each run of arrivals (time, index) no further apart than the window, sorted by time;
// its smallest index names it.
void groupArrivalRuns(const std::vector<std::pair<qint64, qsizetype>>& byArrival, qsizetype count,
                      std::vector<qsizetype>& groupOf)
{
    const qint64 windowMs = LookAlikeGrouper::sameOriginWindowSeconds * 1000;
    size_t runStart = 0;
    for (size_t k = 1; k <= byArrival.size(); ++k) {
        if (k < byArrival.size() && byArrival[k].first - byArrival[k - 1].first <= windowMs)
            continue;
        if (k - runStart > 1) {
            qsizetype first = count;
            for (size_t m = runStart; m < k; ++m)
                first = std::min(first, byArrival[m].second);
            for (size_t m = runStart; m < k; ++m)
                groupOf[size_t(byArrival[m].second)] = first;
        }
        runStart = k;
    }
}

// Rule 3: same-origin runs among the items no name grouped.
void groupByOrigin(const QList<Candidate>& waiting, std::vector<qsizetype>& groupOf)
{
    QHash<QString, QList<qsizetype>> originBuckets;
    for (qsizetype i = 0; i < waiting.size(); ++i) {
        const Candidate& item = waiting[i];
        if (groupOf[size_t(i)] >= 0 || item.originHost.isEmpty() || item.kind.isEmpty() ||
            !item.arrived.isValid())
            continue;
        originBuckets[item.originHost.toCaseFolded() + QLatin1Char('/') + item.kind].append(i);
    }
    for (const QList<qsizetype>& members : std::as_const(originBuckets)) {
        if (members.size() < 2)
            continue;
        std::vector<std::pair<qint64, qsizetype>> byArrival;
        byArrival.reserve(size_t(members.size()));
        for (const qsizetype member : std::as_const(members))
            byArrival.emplace_back(waiting[member].arrived.toMSecsSinceEpoch(), member);
        std::sort(byArrival.begin(), byArrival.end());
        groupArrivalRuns(byArrival, waiting.size(), groupOf);
    }
}

} // namespace

QList<QList<QUuid>> LookAlikeGrouper::group(const QList<Candidate>& waiting)
{
    // Group number per item: the name groups first, then same-origin runs among the rest.
    std::vector<qsizetype> groupOf = groupsByName(waiting);
    groupByOrigin(waiting, groupOf);

    // Groups in the order of their first member, members in the given order.
    QList<QList<QUuid>> groups;
    QHash<qsizetype, qsizetype> slotOfGroup;
    for (qsizetype i = 0; i < waiting.size(); ++i) {
        const qsizetype group = groupOf[size_t(i)];
        if (group < 0)
            continue;
        const auto found = slotOfGroup.constFind(group);
        if (found == slotOfGroup.constEnd()) {
            slotOfGroup.insert(group, groups.size());
            groups.append({waiting[i].id});
        } else {
            groups[found.value()].append(waiting[i].id);
        }
    }
    return groups;
}

QString LookAlikeGrouper::summary(const QStringList& names)
{
    if (names.size() < 2)
        return {};
    return QCoreApplication::translate("LookAlikeGrouper", "%n alike: %1 … %2", nullptr,
                                       int(names.size()))
        .arg(names.first(), names.last());
}
