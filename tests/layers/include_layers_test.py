#!/usr/bin/env python3
# The layer check's own cases: scratch trees with a table and a few sources, each with the faults
# the check must name (file and line) or the table problem it must refuse, so that a check that
# lets everything through fails here.
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import include_layers  # noqa: E402

TABLE = """# Title

## Which folder may include which

Some words first.

| Folder | May include | Toolkit headers |
|---|---|---|
| `codec/` | — | Windows API in `*_windows.cpp` |
| `links/` | `codec/` | — |
| `qt/` | `links/`, `codec/` | Qt |
| `handler/` | `links/` | — |
| `handler/qt/` | `handler/` | Qt |
| `web/` | `links/` | Emscripten |

## Another section

| Folder | May include | Toolkit headers |
|---|---|---|
| `links/` | `qt/` | Qt |
"""


def Run(files, table=TABLE):
  """The check's exit status and printed lines (out, err) over a tree of `files`."""
  with tempfile.TemporaryDirectory() as root:
    for path, text in {"docs/architecture.md": table, **files}.items():
      os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
      with open(os.path.join(root, path), "w", encoding="utf-8") as out:
        out.write(text)
    out, err = io.StringIO(), io.StringIO()
    with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
      status = include_layers.main([root])
    return status, out.getvalue().splitlines(), err.getvalue()


class IncludesTest(unittest.TestCase):
  # (what, files, the faults named)
  CASES = [
      ("a folder includes one below it and its own files",
       {"links/a.cpp": '#include "links/a.h"\n#include "codec/b.h"\n#include "local.h"\n'}, []),
      ("a folder includes one above it",
       {"links/a.cpp": '// words\n#include "links/a.h"\n#include "qt/window.h"\n'},
       ['links/a.cpp:3: #include "qt/window.h": `links/` may not include `qt/`']),
      ("the rule is not transitive: only what the row names",
       {"handler/a.cpp": '#include "codec/b.h"\n'},
       ['handler/a.cpp:1: #include "codec/b.h": `handler/` may not include `codec/`']),
      ("a subfolder with a row includes its parent",
       {"handler/qt/box.cpp": '#include "handler/box.h"\n'}, []),
      ("a parent may not include its subfolder with a row of its own",
       {"handler/main.cpp": '#include "handler/qt/box.h"\n'},
       ['handler/main.cpp:1: #include "handler/qt/box.h": `handler/` may not include '
        '`handler/qt/`']),
      ("spaces inside the directive do not hide it",
       {"codec/a.cpp": '  #  include   "links/a.h"\n'},
       ['codec/a.cpp:1: #include "links/a.h": `codec/` may not include `links/`']),
      ("a folder the table does not know, as included",
       {"links/a.cpp": '#include "gadgets/x.h"\n'},
       ['links/a.cpp:1: #include "gadgets/x.h" names a folder the table has no row for']),
      ("a file in a folder the table does not know",
       {"gadgets/x.cpp": '#include "codec/b.h"\n'},
       ["gadgets/x.cpp:1: the table has no row for the folder that holds this file"]),
      ("build output and packages are not sources",
       {"build/qt/moc.cpp": '#include "handler/x.h"\n',
        "web/node_modules/x/y.h": '#include <QWidget>\n'}, []),
      ("each fault of several files, in order",
       {"codec/a.cpp": '#include "links/a.h"\n', "links/b.h": '\n\n#include "web/c.h"\n'},
       ['codec/a.cpp:1: #include "links/a.h": `codec/` may not include `links/`',
        'links/b.h:3: #include "web/c.h": `links/` may not include `web/`']),
  ]

  def testIncludes(self):
    for what, files, faults in self.CASES:
      with self.subTest(what):
        status, printed, _ = Run(files)
        self.assertEqual(printed, faults)
        self.assertEqual(status, 1 if faults else 0)


class ToolkitsTest(unittest.TestCase):
  CASES = [
      ("Qt in the Qt front end", {"qt/w.cpp": "#include <QWidget>\n#include <QtTest>\n"}, []),
      ("Qt below the front end",
       {"links/a.cpp": "#include <string>\n#include <QString>\n"},
       ["links/a.cpp:2: #include <QString>: `links/` may not use Qt"]),
      ("the Windows API in the file its row names", {"codec/io_windows.cpp": "#include <windows.h>\n"},
       []),
      ("the Windows API in another file of that folder",
       {"codec/io.cpp": "#include <cstdio>\n#include <Windows.h>\n"},
       ["codec/io.cpp:2: #include <Windows.h>: `codec/` uses Windows API only in *_windows.cpp"]),
      ("the Windows API's other headers count too",
       {"qt/a.cpp": "#include <shellapi.h>\n#include <winsock2.h>\n"},
       ["qt/a.cpp:1: #include <shellapi.h>: `qt/` may not use Windows API",
        "qt/a.cpp:2: #include <winsock2.h>: `qt/` may not use Windows API"]),
      ("the C runtime's headers are no toolkit", {"links/a.cpp": "#include <io.h>\n"}, []),
      ("Emscripten in the web front end only",
       {"web/b.cpp": "#include <emscripten/bind.h>\n", "handler/c.cpp": "#include <emscripten.h>\n"},
       ["handler/c.cpp:1: #include <emscripten.h>: `handler/` may not use Emscripten"]),
      ("a subfolder's toolkit is not its parent's",
       {"handler/qt/box.cpp": "#include <QMessageBox>\n", "handler/m.cpp": "#include <QLocale>\n"},
       ["handler/m.cpp:1: #include <QLocale>: `handler/` may not use Qt"]),
  ]

  def testToolkits(self):
    for what, files, faults in self.CASES:
      with self.subTest(what):
        status, printed, _ = Run(files)
        self.assertEqual(printed, faults)
        self.assertEqual(status, 1 if faults else 0)


class TableTest(unittest.TestCase):
  HEADER = "## Which folder may include which\n\n| Folder | May include | Toolkit headers |\n|---|---|---|\n"
  # (what, the document, words its refusal says)
  CASES = [
      ("no section", "# Title\n\n| a | b | c |\n", "no section"),
      ("a section without a table", "## Which folder may include which\n\nWords.\n",
       "holds no table"),
      ("a folder that may include one without a row", HEADER + "| `links/` | `codec/` | — |\n",
       "`links/` may include folders without a row: codec"),
      ("a row with a cell missing", HEADER + "| `links/` | — |\n", "a row without three cells"),
      ("a toolkit the check does not know", HEADER + "| `links/` | — | Gtk |\n",
       "a toolkit entry the check cannot read: 'Gtk'"),
      ("a toolkit's places without backquotes", HEADER + "| `codec/` | — | Qt in a.cpp |\n",
       "whose places are not in backquotes"),
      ("a row that names no folder", HEADER + "| codec | — | — |\n", "names no one folder"),
  ]

  def testRefusedTables(self):
    for what, table, words in self.CASES:
      with self.subTest(what):
        status, printed, said = Run({"links/a.cpp": '#include "codec/b.h"\n'}, table)
        self.assertEqual(status, 1)
        self.assertEqual(printed, [])
        self.assertIn(words, said)

  def testMissingDocumentIsRefused(self):
    with tempfile.TemporaryDirectory() as root:
      err = io.StringIO()
      with contextlib.redirect_stderr(err):
        self.assertEqual(include_layers.main([root]), 1)
      self.assertIn("architecture.md", err.getvalue())


if __name__ == "__main__":
  unittest.main()
