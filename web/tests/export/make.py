#!/usr/bin/env python3
"""Writes the lists that the pages' export tests convert, and what zentrova-cli writes for each
case of cases.json, as the tests' committed expectations: the output, and in cases.json the
lines it reports as left out of the form. Run it again, with the native client, when the lists
or the forms change on purpose:
  python3 web/tests/export/make.py build/default/cli/zentrova-cli"""
import base64
import json
import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
host = 'http://files.example/'


def b64(data):
    return base64.b64encode(data).decode()


def thunder(address):
    return 'thunder://' + b64(b'AA' + address + b'ZZ')


def flashget(address):
    return 'flashget://' + b64(b'[FLASHGET]' + address + b'[FLASHGET]') + '&abc'


def qqdl(address):
    return 'qqdl://' + b64(address)


def gbk(text):
    return text.encode('gbk')


def utf8(text):
    return text.encode('utf-8')


# A list as posted on a forum: links with GBK and UTF-8 names, text around them, HTML, BBCode,
# Markdown, FlashGet's wrapper, a link after a full-width mark and one percent-encoded inside a
# URL, the same download again (as a link of another kind, and as its plain address), a blank
# line, an ed2k and a magnet, a name that would leave its folder, and lines that fail.
posted = [
    f'下载：{thunder(gbk(host) + gbk("电影 第1集.mkv"))} 谢谢楼主',
    f'<a href="{flashget(utf8(host + "中文资料.zip"))}">高清</a>',
    f'[url={qqdl(utf8(host + "my file.txt"))}]下载[/url]',
    thunder(utf8(host + 'plain.bin')),
    f'再发一次：{thunder(gbk(host) + gbk("电影 第1集.mkv"))}',
    qqdl(utf8(host + '中文资料.zip')),
    '',
    thunder(b'ed2k://|file|x.avi|1|0123456789ABCDEF0123456789ABCDEF|/'),
    'thunder://@@@@',
    'magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&dn=%E5%90%8D%E5%AD%97',
    f'1、{flashget(gbk("ftp://files.example/pub/说明.txt"))}',
    'https://files.example/dl/已编码%20名.txt',
    'http://jump.example/go?u=' + thunder(utf8(host + 'music/%E6%B0%B4.mp3'))
    .replace(':', '%3A').replace('/', '%2F').replace('=', '%3D'),
    f'[下载]({thunder(utf8(host + "dl/%2E%2E"))})',
    thunder(b'http://files.example/a\r\nrm -rf ~'),
    'http://files.example/plain.bin',
    qqdl(b'javascript:alert(1)'),
    f'谢谢 {flashget(utf8(host + "空格 名.rar"))}',
]

# Addresses to make links of: Chinese names, text around, a character that code page 936
# cannot hold, a blank line, a line with no address.
addresses = [
    host + '电影 第1集.mkv',
    f'下载地址：{host}中文资料.zip 谢谢',
    'ftp://files.example/pub/readme.txt',
    host + '😀.png',
    '',
    '这里没有地址',
    'https://files.example/a?b=1&c=名',
]

lists = {
    'posted.txt': ('\n'.join(posted) + '\n').encode('utf-8'),
    'posted-gbk.txt': ('\r\n'.join(posted) + '\r\n').encode('gbk'),
    'addresses.txt': '\n'.join(addresses).encode('utf-8'),
}


def main():
    cli = sys.argv[1]
    for name, data in lists.items():
        with open(os.path.join(here, name), 'wb') as f:
            f.write(data)
    with open(os.path.join(here, 'cases.json'), encoding='utf-8') as f:
        cases = json.load(f)
    for case in cases:
        done = subprocess.run([cli, 'batch', case['mode'], '--charset', case['charset'], '--to',
                               case['form'], os.path.join(here, case['list'])],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
        if done.returncode not in (0, 1):
            sys.exit(f'{case}: exit status {done.returncode}: {done.stderr.decode()}')
        with open(os.path.join(here, case['expected']), 'wb') as f:
            f.write(done.stdout)
        # "FILE:LINE: … left out", one line each.
        case['leftOut'] = [int(line.rsplit(':', 2)[-2]) for line in
                           done.stderr.decode().splitlines() if line.endswith('; left out')]
    with open(os.path.join(here, 'cases.json'), 'w', encoding='utf-8') as f:
        f.write('[\n' + ',\n'.join(' ' + json.dumps(case, ensure_ascii=False) for case in cases) +
                '\n]\n')


if __name__ == '__main__':
    main()
