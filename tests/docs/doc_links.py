#!/usr/bin/env python3
"""Checks that every relative link and picture in the project's Markdown files leads somewhere.

A guide that points at a moved file or a renamed heading sends its reader nowhere, and nothing
else would notice. Each relative link or image must name a file or folder that exists, and a
"#anchor" into a Markdown file must name one of its headings. Links to other sites, mail
addresses and anything inside code are left alone: code shows text, not links.

  doc_links.py ROOT [FILE...]   checks FILE... (default: every Markdown file of ROOT's guides),
                                prints each broken link as FILE:LINE: TARGET: WHY and exits 1
"""
import os
import re
import sys
import unicodedata
from urllib.parse import unquote

# The guides: the root's Markdown files, docs/ and every folder's README.md. Build trees and
# installed packages hold others' Markdown, which is not ours to check.
SKIPPED_FOLDERS = {"build", "node_modules", ".git"}

INLINE = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^\s)>]*)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"^\s{0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s+.*)?$")
HTML = re.compile(r"<(?:a|img)\b[^>]*?\b(?:href|src)\s*=\s*[\"']([^\"']*)[\"']", re.IGNORECASE)
FENCE = re.compile(r"^\s{0,3}(`{3,}|~{3,})")
CODE_SPAN = re.compile(r"(`+)(?:.+?)\1")
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.-]*:")


def guides(root):
    """The Markdown files the project documents itself with, relative to ROOT, sorted."""
    found = []
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = [d for d in subfolders if d not in SKIPPED_FOLDERS]
        relative = os.path.relpath(folder, root)
        for name in files:
            if not name.endswith(".md"):
                continue
            if relative == "." or relative.split(os.sep)[0] == "docs" or name == "README.md":
                found.append(os.path.normpath(os.path.join(relative, name)))
    return sorted(found)


def prose_lines(text):
    """Yields (line number, line with its code spans blanked, line) outside fenced code."""
    fence = None
    for number, line in enumerate(text.split("\n"), 1):
        opened = FENCE.match(line)
        if fence:
            if opened and opened.group(1)[0] == fence[0] and len(opened.group(1)) >= len(fence):
                fence = None
            continue
        if opened:
            fence = opened.group(1)
            continue
        yield number, CODE_SPAN.sub(lambda m: " " * len(m.group(0)), line), line


def slug(heading):
    """The anchor a heading gets where the project is read: lower case, punctuation dropped,
    spaces as hyphens; letters of every script stay."""
    heading = re.sub(r"`([^`]*)`", r"\1", heading.strip())
    heading = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading)
    kept = []
    for char in heading.lower():
        if char in " -":
            kept.append("-")
        elif char == "_" or unicodedata.category(char)[0] in "LNM":
            kept.append(char)
    return "".join(kept)


def anchors(path, cache={}):
    """The anchors of a Markdown file's headings; a repeated heading gets -1, -2, …"""
    if path not in cache:
        seen = {}
        result = set()
        with open(path, encoding="utf-8") as file:
            for _, _, line in prose_lines(file.read()):
                heading = re.match(r"^\s{0,3}#{1,6}\s+(.*?)\s*#*\s*$", line)
                if not heading:
                    continue
                base = slug(heading.group(1))
                count = seen.get(base, 0)
                seen[base] = count + 1
                result.add(base if count == 0 else f"{base}-{count}")
        cache[path] = result
    return cache[path]


def targets(text):
    """Yields (line number, target) of every link and picture in Markdown TEXT."""
    for number, line, _ in prose_lines(text):
        for pattern in (INLINE, REFERENCE, HTML):
            for match in pattern.finditer(line):
                yield number, match.group(1)


def broken(root, name):
    """Yields "LINE: TARGET: WHY" for each link of ROOT/NAME that leads nowhere."""
    path = os.path.join(root, name)
    with open(path, encoding="utf-8") as file:
        text = file.read()
    for number, target in targets(text):
        if not target or SCHEME.match(target) or target.startswith("//"):
            continue  # another site, a mail address, or an empty link left for the reader
        file_part, _, anchor = target.partition("#")
        file_part = unquote(file_part.split("?", 1)[0])
        if file_part.startswith("/"):
            yield f"{number}: {target}: an absolute path, which only this machine has"
            continue
        destination = path
        if file_part:
            destination = os.path.normpath(os.path.join(os.path.dirname(path), file_part))
        if not os.path.exists(destination):
            yield f"{number}: {target}: no such file"
        elif anchor and destination.endswith(".md") and unquote(anchor) not in anchors(destination):
            yield f"{number}: {target}: no heading has that anchor"


def main(argv):
    if len(argv) < 2:
        print("usage: doc_links.py ROOT [FILE...]", file=sys.stderr)
        return 2
    root = argv[1]
    names = argv[2:] or guides(root)
    if not names:
        print(f"doc_links.py: no Markdown file under {root}", file=sys.stderr)
        return 2
    failures = [f"{name}:{problem}" for name in names for problem in broken(root, name)]
    for failure in failures:
        print(failure)
    print(f"{len(names)} files, {len(failures)} broken links")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
