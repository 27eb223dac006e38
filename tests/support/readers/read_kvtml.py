#!/usr/bin/python3
# Reads KVTML vocabulary files with Python's own XML parser and prints, for each file
# given, one line of ASCII JSON: {"path": ..., "sheets": [...], "rows": {sheet: [[word,
# definition], ...]}}. The sheets are "All entries", then every lesson in document
# order ("Parent/Child" when nested); version 2 entries give translation 0's text and
# translation 1's text (translation 0's comment when that is blank), version 1
# entries <o> and the first <t>. A file whose bytes are not UTF-8 although it claims
# so is decoded as Windows-1252 first.
# With --translations first, it prints instead what a written file holds, read raw:
# {"identifiers": [names], "entries": [[translation 0 text, translation 1 text], ...]}.
import json
import re
import sys
import xml.etree.ElementTree as ET


def parse(data):
    declared = re.match(rb'<\?xml[^>]*encoding\s*=\s*["\']([A-Za-z0-9._-]+)["\']', data[:256])
    claims_utf8 = declared is None or declared.group(1).lower() in (b"utf-8", b"utf8")
    try:
        data.decode("utf-8")
        valid = True
    except UnicodeDecodeError:
        valid = False
    if valid or not claims_utf8:
        return ET.fromstring(data)
    return ET.fromstring(data.decode("cp1252", errors="replace"))


def text(element):
    return "".join(element.itertext()) if element is not None else ""


def first(parent, tag, **attributes):
    for child in parent:
        if child.tag == tag and all(child.get(k, "").strip() == v for k, v in attributes.items()):
            return child
    return None


def entry2(entry):
    zero = first(entry, "translation", id="0")
    one = first(entry, "translation", id="1")
    word = text(first(zero, "text")) if zero is not None else ""
    definition = text(first(one, "text")) if one is not None else ""
    if not definition.strip():
        definition = text(first(zero, "comment")) if zero is not None else ""
    return [word, definition]


def read(path):
    with open(path, "rb") as f:
        root = parse(f.read())
    entries, by_id, lessons = [], {}, []
    members1 = {}
    for child in root:
        if child.tag == "entries":
            for entry in child:
                if entry.tag == "entry":
                    by_id.setdefault(entry.get("id", "").strip(), len(entries))
                    entries.append(entry2(entry))
        elif child.tag == "e":
            o, t = first(child, "o"), first(child, "t")
            lesson = child.get("m", "").strip()
            if lesson:
                members1.setdefault(lesson, []).append(len(entries))
            entries.append([text(o), text(t)])

    def lesson2(element, parent):
        own = {"name": text(first(element, "name")), "parent": parent, "ids": []}
        lessons.append(own)
        for child in element:
            if child.tag == "entry":
                own["ids"].append(child.get("id", "").strip())
            elif child.tag == "entryid":
                own["ids"].append(text(child).strip())
            elif child.tag in ("container", "lesson"):
                lesson2(child, own)

    for child in root:
        if child.tag == "lessons":
            for lesson in child:
                if lesson.tag in ("container", "lesson"):
                    lesson2(lesson, None)
        elif child.tag == "lesson":
            for desc in child:
                if desc.tag == "desc":
                    members = members1.get(desc.get("no", "").strip() or "-", [])
                    lessons.append({"name": text(desc), "parent": None, "rows": members})

    sheets, rows = ["All entries"], {"All entries": entries}
    for number, lesson in enumerate(lessons, 1):
        name = " ".join(lesson["name"].split())[:100] or "Lesson %d" % number
        if lesson["parent"] is not None:
            name = lesson["parent"]["full"] + "/" + name
        lesson["full"] = name
        unique, n = name, 2
        while unique in sheets:
            unique, n = "%s (%d)" % (name, n), n + 1
        sheets.append(unique)
        if "rows" in lesson:
            rows[unique] = [entries[i] for i in lesson["rows"]]
        else:
            rows[unique] = [entries[by_id[i]] if i in by_id else ["", ""] for i in lesson["ids"]]
    return {"path": path, "sheets": sheets, "rows": rows}


def translations(path):
    with open(path, "rb") as f:
        root = ET.fromstring(f.read())
    identifiers = [text(first(i, "name")) for i in root.find("identifiers")]
    entries = [[text(first(first(e, "translation", id=n), "text")) for n in ("0", "1")]
               for e in root.find("entries")]
    return {"identifiers": identifiers, "entries": entries}


if sys.argv[1] == "--translations":
    print(json.dumps(translations(sys.argv[2])))
else:
    for path in sys.argv[1:]:
        print(json.dumps(read(path)))
