#!/usr/bin/env python3
"""Writes a gettext catalogue (.po) as a C++ table for a program that has no gettext: each
translated message as {english, words}, in the order of the English sentences' bytes, so that
the program can look them up by binary search.
  catalogue_table.py CATALOGUE.po TABLE.inc"""
import sys


def unquote(text):
    """The value of one C string literal as .po files write it."""
    body = text.strip()[1:-1]
    out, i = bytearray(), 0
    escapes = {'n': b'\n', 't': b'\t', '"': b'"', '\\': b'\\', 'r': b'\r'}
    raw = body.encode('utf-8')
    while i < len(raw):
        c = raw[i:i + 1]
        if c == b'\\' and i + 1 < len(raw):
            out += escapes[raw[i + 1:i + 2].decode()]
            i += 2
        else:
            out += c
            i += 1
    return bytes(out)


def entries(lines):
    """(msgid, msgstr, fuzzy) for each entry of the catalogue."""
    entry, field, fuzzy = {}, None, False
    for line in lines + ['']:
        line = line.rstrip('\n')
        if line.startswith('#,') and 'fuzzy' in line:
            fuzzy = True
        elif line.startswith('msgid '):
            entry, field = {'msgid': unquote(line[6:]), 'msgstr': b''}, 'msgid'
        elif line.startswith('msgstr '):
            entry['msgstr'], field = unquote(line[7:]), 'msgstr'
        elif line.startswith('"') and field:
            entry[field] += unquote(line)
        elif not line.strip() and entry:
            yield entry['msgid'], entry['msgstr'], fuzzy
            entry, field, fuzzy = {}, None, False


def literal(data):
    """A C++ string literal of UTF-8 bytes, safe whatever follows each escape."""
    return '"' + ''.join(chr(b) if 32 <= b < 127 and chr(b) not in '"\\?' else '\\%03o' % b
                         for b in data) + '"'


def main():
    with open(sys.argv[1], encoding='utf-8') as f:
        table = sorted((i, s) for i, s, fuzzy in entries(f.readlines()) if i and s and not fuzzy)
    with open(sys.argv[2], 'w', encoding='utf-8') as out:
        out.write('// Made from %s by po/catalogue_table.py; do not edit.\n' % sys.argv[1].split('/')[-1])
        out.write('constexpr Translation kZhCn[] = {\n')
        for msgid, msgstr in table:
            out.write('    {%s,\n     %s},\n' % (literal(msgid), literal(msgstr)))
        out.write('};\n')


main()
