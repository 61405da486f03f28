#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

// Finds the waiting items that clearly belong together, so that one key can act on all of
// them. Conservative: an item joins a group only on strong evidence, and unrelated files that
// merely share an extension or the start of a name ("a.pdf", "b.pdf"; "report.pdf",
// "resume.pdf") stay alone. Names are compared in Unicode normal form C, case folded, so the
// NFC and NFD spellings of one name (as macOS and Linux clients write them) are the same name.
//
// Two items belong together when:
//
// 1. Numbered series. Their names are the same except for the runs of digits in them, they
//    have the same extension, and the name has at least one letter outside the digits (so
//    that "2312.01234.pdf" and "2401.00012.pdf", names made of numbers alone, are not a
//    series). This covers what scanners, cameras, phones and screenshot tools write:
//    "scan_001.pdf", "IMG_4512.JPG", "DSC_0001.JPG", "PXL_20261201_101533123.jpg",
//    "Screenshot 2026-12-01 at 10.15.33.png", "Screenshot from 2026-12-01 10-15-33.png",
//    "Screenshot_20261201-101533.png", "WhatsApp Image 2026-12-01 at 10.15.33.jpeg".
//    Where a series is zero-padded (some member has a leading zero at that place:
//    "scan_007"), its numbers there must have the same width, so "scan_007.pdf" and
//    "scan_7.pdf" are not one series, while "scan_099.pdf" and "scan_100.pdf" are. Numbers
//    that are never padded may grow ("scan_9.pdf", "scan_10.pdf").
// 2. Copies of one name. Their names are the same once copy suffixes are taken off, with
//    the same extension: "foo.pdf", "foo (1).pdf", "foo(2).pdf" (browsers), "foo-1.pdf",
//    "foo_2.pdf", "foo 2.pdf" (a number of one or two digits, not zero-padded),
//    "foo copy.pdf", "foo copy 2.pdf" (macOS), "foo - Copy.pdf", "foo - Copy (2).pdf"
//    (Windows), "foo (copy).pdf", "foo (copy 2).pdf", "foo (another copy).pdf",
//    "foo (3rd copy).pdf" (GNOME), and "foo.pdf.1" (wget). Suffixes may stack
//    ("foo (1) (1).pdf").
// 3. Same origin and kind. Neither is in a group by name, both come from the same origin host
//    (never an empty one) and are of the same kind, and each arrived within
//    sameOriginWindowSeconds of the one before it in arrival order. Items with no known
//    arrival time are left out of this rule.
//
// Rules 1 and 2 are both about the name and join up: "scan_001 (1).pdf" is in the group of
// "scan_001.pdf" ... "scan_014.pdf". Rule 3 is weaker evidence and only groups what no name
// rule took, so an unrelated file from the same scanner's host is not swept into its series.
//
// Pure and thread-agnostic: no I/O, safe to call from any thread.
class LookAlikeGrouper
{
public:
    struct Candidate
    {
        QUuid id;
        QString filename;
        // Where it was downloaded from ("files.example.org"); empty when unknown.
        QString originHost;
        // The content type's name ("application/pdf"), or the extension when there is none.
        QString kind;
        // When it arrived; invalid when unknown. Compared as instants, so any time spec will
        // do: a local time is converted only for the items the same-origin rule looks at (each
        // conversion asks the C library's time zone, which checks the zone file on disk).
        QDateTime arrived;
    };

    // Arrival times further apart than this end a same-origin group.
    static constexpr qint64 sameOriginWindowSeconds = 5 * 60;

    // The groups among waiting (the queue's order): each of two or more ids, in the given
    // order; groups ordered by their first member. An item is in at most one group.
    static QList<QList<QUuid>> group(const QList<Candidate>& waiting);

    // "14 alike: scan_001.pdf … scan_014.pdf": the count and the first and last of names
    // (a group's names in its order). Empty for fewer than two names.
    static QString summary(const QStringList& names);
};
