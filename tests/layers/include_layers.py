#!/usr/bin/env python3
# Holds the sources to the layer table of docs/architecture.md: every `#include "folder/…"` and
# every toolkit header (Qt, the Windows API, Emscripten) must be one the table allows the
# including file's folder. The table is read from the document, so the rule is written once.
#
# Usage: include_layers.py SOURCE_ROOT [TABLE_DOCUMENT]
# Prints one line a fault, "file:line: what", and exits 1 when there is any; 0 when none.
import fnmatch
import os
import re
import sys

HEADING = "## Which folder may include which"
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp", ".inc")
# What a build, a package manager or an editor leaves in the tree is not the project's source.
SKIPPED_DIRECTORIES = {"build", "out", "node_modules", ".git", ".cache"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

# Headers by the toolkit they belong to. The Windows API's are named one by one besides the
# win*.h family, since the C runtime's own <io.h> or <process.h> tie nothing to a toolkit.
WINDOWS_HEADERS = {
    "commctrl.h", "commdlg.h", "dwmapi.h", "iphlpapi.h", "objbase.h", "ole2.h", "oleacc.h",
    "oleauto.h", "richedit.h", "shellapi.h", "shlobj.h", "shlwapi.h", "unknwn.h", "uxtheme.h",
    "ws2tcpip.h"
}


def ToolkitOf(header):
  """The toolkit `header` (as written between < and >) belongs to, or None."""
  if re.match(r"Q[A-Za-z]", header):
    return "Qt"
  name = header.lower()
  if name in WINDOWS_HEADERS or re.fullmatch(r"win[a-z0-9_]*\.h", name):
    return "Windows API"
  if name.startswith("emscripten"):
    return "Emscripten"
  return None


TOOLKITS = ("Qt", "Windows API", "Emscripten")


class TableError(Exception):
  pass


def Folders(cell):
  """The folders a cell names, each written `folder/`; a dash or nothing names none."""
  return [name.strip("/") for name in re.findall(r"`([^`]+)`", cell)]


def Toolkits(cell):
  """{toolkit: [file patterns]} from a cell such as "Qt; Windows API in `*_windows.cpp`".
  No pattern means anywhere in the folder."""
  allowed = {}
  for entry in filter(None, (part.strip() for part in cell.split(";"))):
    if entry in ("-", "—"):
      continue
    match = re.fullmatch(r"([A-Za-z ]+?)(?:\s+in\s+(.+))?", entry)
    if not match or match.group(1) not in TOOLKITS:
      raise TableError(f"a toolkit entry the check cannot read: {entry!r} "
                       f"(one of {', '.join(TOOLKITS)}, optionally in `pattern`)")
    patterns = re.findall(r"`([^`]+)`", match.group(2) or "")
    if match.group(2) and not patterns:
      raise TableError(f"a toolkit entry whose places are not in backquotes: {entry!r}")
    allowed[match.group(1)] = patterns
  return allowed


def ReadTable(document):
  """{folder: (folders it may include, toolkits it may use)} from the section under HEADING."""
  with open(document, encoding="utf-8") as text:
    lines = text.read().splitlines()
  if HEADING not in lines:
    raise TableError(f"{document}: no section {HEADING!r}")
  rows = []
  for line in lines[lines.index(HEADING) + 1:]:
    if line.startswith("#"):
      break
    if line.lstrip().startswith("|"):
      rows.append([cell.strip() for cell in line.strip().strip("|").split("|")])
    elif rows:
      break  # the first table of the section is the rule
  if len(rows) < 3 or not re.fullmatch(r"[-: |]+", "|".join(rows[1])):
    raise TableError(f"{document}: the section {HEADING!r} holds no table")
  if len(rows[0]) != 3:
    raise TableError(f"{document}: the table needs three columns: folder, may include, toolkits")
  table = {}
  for row in rows[2:]:
    if len(row) != 3:
      raise TableError(f"{document}: a row without three cells: {'|'.join(row)}")
    folder = Folders(row[0])
    if len(folder) != 1:
      raise TableError(f"{document}: a row that names no one folder: {row[0]}")
    table[folder[0]] = (set(Folders(row[1])), Toolkits(row[2]))
  for folder, (below, _) in table.items():
    unknown = sorted(below - set(table))
    if unknown:
      raise TableError(f"{document}: `{folder}/` may include folders without a row: "
                       + ", ".join(unknown))
  return table


def FolderOf(path, table):
  """The table's folder that holds `path` (slash-separated, from the root): the deepest one."""
  parts = path.split("/")
  for length in range(len(parts) - 1, 0, -1):
    folder = "/".join(parts[:length])
    if folder in table:
      return folder
  return None


def Sources(root):
  for directory, subdirectories, files in os.walk(root):
    subdirectories[:] = sorted(d for d in subdirectories if d not in SKIPPED_DIRECTORIES)
    for name in sorted(files):
      if name.endswith(SOURCE_SUFFIXES):
        yield os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")


def Faults(root, table):
  """Each include the table does not allow, as "file:line: why"."""
  for path in Sources(root):
    folder = FolderOf(path, table)
    if folder is None:
      yield f"{path}:1: the table has no row for the folder that holds this file"
      continue
    below, toolkits = table[folder]
    within = path[len(folder) + 1:]
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as text:
      for number, line in enumerate(text, 1):
        match = INCLUDE.match(line)
        if not match:
          continue
        quote, header = match.groups()
        if quote == '"':
          if "/" not in header:
            continue  # beside the file, or on the target's own include path
          target = FolderOf(header, table)
          if target is None:
            yield (f"{path}:{number}: #include \"{header}\" names a folder the table has no "
                   "row for")
          elif target != folder and target not in below:
            yield (f"{path}:{number}: #include \"{header}\": `{folder}/` may not include "
                   f"`{target}/`")
        else:
          toolkit = ToolkitOf(header)
          if toolkit is None:
            continue
          patterns = toolkits.get(toolkit)
          if patterns is None:
            yield f"{path}:{number}: #include <{header}>: `{folder}/` may not use {toolkit}"
          elif patterns and not any(fnmatch.fnmatchcase(within, p) for p in patterns):
            yield (f"{path}:{number}: #include <{header}>: `{folder}/` uses {toolkit} only in "
                   + ", ".join(patterns))


def main(arguments):
  if len(arguments) not in (1, 2):
    print("usage: include_layers.py SOURCE_ROOT [TABLE_DOCUMENT]", file=sys.stderr)
    return 2
  root = arguments[0]
  document = arguments[1] if len(arguments) == 2 else os.path.join(root, "docs/architecture.md")
  try:
    table = ReadTable(document)
  except (OSError, TableError) as error:
    print(f"include_layers: {error}", file=sys.stderr)
    return 1
  faults = list(Faults(root, table))
  for fault in faults:
    print(fault)
  return 1 if faults else 0


if __name__ == "__main__":
  sys.exit(main(sys.argv[1:]))
