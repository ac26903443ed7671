#!/usr/bin/env python3
"""Proves that the link check finds what it is for: each case is a scratch tree of Markdown
files and the broken links the check must report in it, no more and no fewer."""
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "doc_links.py")

# (what the case shows, {file: text}, broken links expected as "FILE:LINE: TARGET")
CASES = [
    ("a link and a picture that lead to files pass",
     {"README.md": "See [the guide](docs/guide.md) and ![it](docs/shot.png).\n",
      "docs/guide.md": "# Guide\n[back](../README.md), [folder](.)\n", "docs/shot.png": ""},
     []),
    ("a link to a missing file fails, named by file and line",
     {"README.md": "# Zentrova\n\nRead [the guide](docs/gone.md).\n"},
     ["README.md:3: docs/gone.md"]),
    ("a missing picture fails",
     {"docs/window.md": "![The window](screenshot.png)\n"},
     ["docs/window.md:1: screenshot.png"]),
    ("a link by reference and an HTML picture are checked too",
     {"README.md": "[guide]: docs/none.md\n<img src=\"docs/none.png\" alt=\"x\">\n"},
     ["README.md:1: docs/none.md", "README.md:2: docs/none.png"]),
    ("an anchor must name a heading of the file it points into",
     {"README.md": "[ok](docs/g.md#quick-start-debian-12) [bad](docs/g.md#renamed)\n",
      "docs/g.md": "# Guide\n## Quick start (Debian 12)\n"},
     ["README.md:1: docs/g.md#renamed"]),
    ("an anchor into the same file is checked, repeats counted as the reader sees them",
     {"README.md": "# Use\n## Use\n[a](#use) [b](#use-1) [c](#use-2)\n"},
     ["README.md:3: #use-2"]),
    ("headings in any script have anchors, code and punctuation dropped",
     {"README.md": "## 转换成普通链接: `decode`\n[x](#转换成普通链接-decode)\n"},
     []),
    ("code shows text, not links: fenced blocks and code spans are left alone",
     {"README.md": "```sh\n[x](gone.md)\n```\n`[下载](thunder://x/)` and `[y](gone.md)`\n"},
     []),
    ("other sites and mail addresses are not this tree's to check",
     {"README.md": "<http://127.0.0.1:8000/> [a](https://example.org/x) [m](mailto:a@b.example)\n"},
     []),
    ("an absolute path fails: only this machine has it",
     {"README.md": "[x](/etc/hosts)\n"},
     ["README.md:1: /etc/hosts"]),
    ("guides are found in docs/ and in every folder's README, not in build trees",
     {"bench/README.md": "[x](nothing.md)\n", "docs/a/b.md": "[y](nothing.md)\n",
      "build/default/README.md": "[z](nothing.md)\n", "src/notes.md": "[w](nothing.md)\n"},
     ["bench/README.md:1: nothing.md", "docs/a/b.md:1: nothing.md"]),
]


def run(files):
    with tempfile.TemporaryDirectory() as root:
        for name, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, name)), exist_ok=True)
            with open(os.path.join(root, name), "w", encoding="utf-8") as file:
                file.write(text)
        result = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
    reported = [line.rsplit(": ", 1)[0] for line in result.stdout.splitlines()[:-1]]
    return result.returncode, sorted(reported), result.stdout + result.stderr


def main():
    failed = 0
    for name, files, expected in CASES:
        status, reported, output = run(files)
        want_status = 1 if expected else 0
        if status != want_status or reported != sorted(expected):
            failed += 1
            print(f"FAIL: {name}\n  expected status {want_status}, {sorted(expected)}\n"
                  f"  got status {status}:\n{output}")
        else:
            print(f"ok: {name}")
    with tempfile.TemporaryDirectory() as empty:
        result = subprocess.run([sys.executable, CHECK, empty], capture_output=True, text=True)
    if result.returncode != 2 or "no Markdown file" not in result.stderr:
        failed += 1
        print(f"FAIL: a tree without guides is an error, not a pass: {result.returncode}")
    else:
        print("ok: a tree without guides is an error, not a pass")
    print(f"{len(CASES) + 1 - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
