#!/usr/bin/env python3
"""Checks a compiled TBLIFT.CHM against the program's sources.

    check_chm.py TBLIFT.CHM SOURCE_ROOT

- every help topic that the program's code names (a "HLPnnnnnn.html" or
  "kifu.html" literal, with its "#anchor") is a page under _RESOURCE/ of the
  compiled file, and the anchor exists on that page;
- every page holds a Japanese part (lang="ja", with Japanese text) and an
  English part (lang="en");
- no link of a page or of the table of contents points to a page or an
  anchor that the file does not hold.
The file is unpacked with 7-Zip (Debian package 7zip), a reader that shares
nothing with the compiler that wrote it. Exit status 0 when all holds.
"""

import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile

TOPIC_LITERAL = re.compile(r'L"((?:HLP\d{6}|kifu)\.html)(?:#([A-Za-z0-9_-]+))?"')
JAPANESE = re.compile(r"[\u3040-\u30ff\u4e00-\u9fff]")
SKIPPED_DIRS = {"build", "tests", ".git", "chm"}


class Page(html.parser.HTMLParser):
    """The anchors, links and per-language text of one page."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.anchors = set()
        self.links = []
        self.text = {"ja": "", "en": ""}
        self._stack = []  # (tag, lang) of the open elements
        self._void = {"br", "hr", "img", "meta", "link", "input", "param", "col", "area", "base"}

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for key in ("id", "name"):
            if a.get(key) and tag != "param" and tag != "meta":
                self.anchors.add(a[key])
        for key in ("href", "src"):
            if a.get(key):
                self.links.append(a[key])
        if tag == "param" and (a.get("name") or "").lower() == "local" and a.get("value"):
            self.links.append(a["value"])
        if tag not in self._void:
            self._stack.append((tag, a.get("lang")))

    def handle_endtag(self, tag):
        for i in range(len(self._stack) - 1, -1, -1):
            if self._stack[i][0] == tag:
                del self._stack[i:]
                break

    def handle_data(self, data):
        # The innermost language that is not the document's own.
        for tag, lang in reversed(self._stack):
            if tag != "html" and lang in self.text:
                self.text[lang] += data
                return


def code_topics(root):
    topics = set()
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if d not in SKIPPED_DIRS and not d.startswith(".")]
        for name in files:
            if name.endswith((".cpp", ".h")):
                with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                    topics.update(TOPIC_LITERAL.findall(f.read()))
    return topics


def parse(path, encoding):
    page = Page()
    with open(path, encoding=encoding, errors="strict") as f:
        page.feed(f.read())
    page.close()
    return page


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    chm, root = argv[1], argv[2]
    sevenzip = shutil.which("7zz") or shutil.which("7z")
    if not sevenzip:
        print("check_chm: 7-Zip (7zz) is missing; tools/setup installs it")
        return 1
    problems = []
    work = tempfile.mkdtemp(prefix="tblf-chm-")
    try:
        run = subprocess.run([sevenzip, "x", "-y", "-o" + work, chm], capture_output=True, text=True)
        if run.returncode != 0:
            print("check_chm: 7-Zip cannot unpack %s:\n%s%s" % (chm, run.stdout, run.stderr))
            return 1
        files = set()
        for folder, _, names in os.walk(work):
            for name in names:
                files.add(os.path.relpath(os.path.join(folder, name), work).replace(os.sep, "/"))

        pages = {}
        for name in sorted(files):
            if name.lower().endswith(".html"):
                pages[name] = parse(os.path.join(work, name), "utf-8")
            elif name.lower().endswith(".hhc"):
                pages[name] = parse(os.path.join(work, name), "cp932")

        topics = code_topics(root)
        if not topics:
            problems.append("no help topic found in the sources under %s" % root)
        for topic, anchor in sorted(topics):
            page = "_RESOURCE/" + topic
            if page not in pages:
                problems.append("topic %s opened by the program is missing" % page)
            elif anchor and anchor not in pages[page].anchors:
                problems.append("topic %s#%s: the page has no anchor %s" % (page, anchor, anchor))

        for name, page in sorted(pages.items()):
            if not name.lower().endswith(".html"):
                continue
            ja, en = page.text["ja"].strip(), page.text["en"].strip()
            if not JAPANESE.search(ja):
                problems.append("%s has no Japanese part (an element with lang=\"ja\" and Japanese text)" % name)
            if len(re.findall(r"[A-Za-z]{3,}", en)) < 10:
                problems.append("%s has no English part (an element with lang=\"en\" and English text)" % name)

        links = 0
        for name, page in sorted(pages.items()):
            base = os.path.dirname(name)
            for link in page.links:
                if re.match(r"^[A-Za-z][A-Za-z0-9+.-]*:", link):
                    continue  # another scheme: a web address, not a page of the file
                links += 1
                target, _, anchor = link.partition("#")
                target = os.path.normpath(os.path.join(base, target)).replace(os.sep, "/") if target else name
                if target not in files:
                    problems.append("%s links to %s, which is missing" % (name, link))
                elif anchor and (target not in pages or anchor not in pages[target].anchors):
                    problems.append("%s links to %s, but %s has no anchor %s" % (name, link, target, anchor))
    finally:
        shutil.rmtree(work, ignore_errors=True)

    for p in problems:
        print("check_chm: " + p)
    print("check_chm: %d topics of the code, %d pages, %d internal links, %d problems"
          % (len(topics), sum(1 for n in pages if n.endswith(".html")), links, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
