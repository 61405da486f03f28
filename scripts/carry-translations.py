#!/usr/bin/env python3
"""Fills unfinished messages in Qt .ts catalogues with the translation of the same source
text (same disambiguation, same plural kind): the vanished entry it left behind when it moved,
else the same text finished in another class. Used by update-translations.sh after code moves between classes, so a
text that only changed its context keeps its translation."""
import sys
import xml.etree.ElementTree as ET


def key(message):
    source = message.findtext("source") or ""
    comment = message.findtext("comment") or ""
    return (source, comment, message.get("numerus") == "yes")


def carry(path):
    tree = ET.parse(path)
    # A text that moved left a vanished entry behind: its translation is the one to keep,
    # since the same English may be worded differently elsewhere (a shorter label that fits).
    known = {}
    for wanted in ("vanished", None):
        for message in tree.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") != wanted:
                continue
            if not (translation.text or len(translation)):
                continue
            known.setdefault(key(message), translation)
    filled = 0
    for message in tree.iter("message"):
        translation = message.find("translation")
        if translation is None or translation.get("type") != "unfinished":
            continue
        found = known.get(key(message))
        if found is None:
            continue
        translation.clear()
        translation.text = found.text
        for form in found:
            copy = ET.SubElement(translation, form.tag, form.attrib)
            copy.text = form.text
        filled += 1
    if filled:
        tree.write(path, encoding="utf-8", xml_declaration=True)
    print(f"{path}: {filled} carried over")


for catalogue in sys.argv[1:]:
    carry(catalogue)
