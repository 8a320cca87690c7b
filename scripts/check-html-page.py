#!/usr/bin/env python3
"""Strict checks of pages written by `veldrix --html`.

usage: check-html-page.py PAGE JSON [PAGE JSON ...]

Each PAGE must parse strictly as HTML5 (a doctype first, every element
closed in order, no unknown entity, no duplicate id, no script, no
reference to anything outside the page), and the cores and threads its
drawing stands for must be the counts of the JSON document (`--json` of
the same processor). Prints one line per fault and exits 1 on any.
"""
import html.entities
import json
import re
import sys
from html.parser import HTMLParser

VOID = {"meta", "link", "br", "hr", "img", "input", "col", "area", "base", "source", "wbr"}
SVG_SELF_CLOSING_OK = set()


class StrictParser(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=False)
        self.stack, self.faults, self.ids = [], [], set()
        self.cores = self.threads = 0
        self.doctype = False

    def fault(self, text):
        self.faults.append("line %d: %s" % (self.getpos()[0], text))

    def handle_decl(self, decl):
        self.doctype = self.doctype or decl.lower() == "doctype html"

    def handle_starttag(self, tag, attrs):
        if not self.doctype:
            self.fault("content before <!DOCTYPE html>")
        attributes = dict(attrs)
        if tag == "script":
            self.fault("a script")
        for name, value in attrs:
            if name in ("src", "href") or (name != "xmlns" and value and re.search(r"url\(|https?:", value)):
                self.fault("an outside reference: %s=%r" % (name, value))
        if "id" in attributes:
            if attributes["id"] in self.ids:
                self.fault("duplicate id " + attributes["id"])
            self.ids.add(attributes["id"])
        if tag == "g" and "core" in (attributes.get("class") or "").split():
            self.cores += int(attributes["data-cores"])
            self.threads += int(attributes["data-threads"])
        if tag not in VOID:
            self.stack.append(tag)

    def handle_startendtag(self, tag, attrs):
        if tag not in VOID:
            self.fault("self-closed <%s/>" % tag)
        self.handle_starttag(tag, attrs)

    def handle_endtag(self, tag):
        if not self.stack or self.stack[-1] != tag:
            self.fault("</%s> closes %s" % (tag, self.stack[-1] if self.stack else "nothing"))
            return
        self.stack.pop()

    def handle_entityref(self, name):
        if name + ";" not in html.entities.html5:
            self.fault("unknown entity &%s;" % name)

    def handle_data(self, data):
        if re.search(r"[\x00-\x08\x0b\x0c\x0e-\x1f\x7f]", data):
            self.fault("a control character in the text")
        if "&" in data:
            self.fault("a bare &")
        if "<" in data:
            self.fault("a bare <")


def check(page_path, json_path):
    with open(page_path, encoding="utf-8") as page:
        text = page.read()
    parser = StrictParser()
    parser.feed(text)
    parser.close()
    faults = list(parser.faults)
    if parser.stack:
        faults.append("left open: " + " ".join(parser.stack))
    if "\r" in text:
        faults.append("a CR line end")
    with open(json_path, encoding="utf-8") as document:
        topology = json.load(document)["topology"]
    if topology["cores"] is not None and parser.cores != topology["cores"]:
        faults.append("draws %d cores, --json says %d" % (parser.cores, topology["cores"]))
    if parser.threads != topology["logical_processors"]:
        faults.append("draws %d threads, --json says %d" % (parser.threads, topology["logical_processors"]))
    return ["%s: %s" % (page_path, f) for f in faults]


def main(arguments):
    if not arguments or len(arguments) % 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 64
    faults = []
    for i in range(0, len(arguments), 2):
        faults += check(arguments[i], arguments[i + 1])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
