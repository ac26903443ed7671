#!/usr/bin/env python3
"""Reads back the resources windres compiled from zentrova.rc (a .res file) and checks them:
the icon group and its six images, the version block, and the manifest."""
import struct
import sys
import xml.etree.ElementTree as ET

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
LANG_ZH_CN = 2052

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def read_id(data, at):
    """A resource type or name: 0xFFFF and an ordinal, or a NUL-ended UTF-16 string."""
    if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def read_res(path):
    data = open(path, "rb").read()
    resources, at = {}, 0
    while at + 8 <= len(data):
        size, header_size = struct.unpack_from("<II", data, at)
        kind, p = read_id(data, at + 8)
        name, p = read_id(data, p)
        p = (p + 3) & ~3
        _, _, language = struct.unpack_from("<IHH", data, p)
        body = data[at + header_size : at + header_size + size]
        if size or kind != 0:  # the leading empty entry marks a 32-bit .res file
            resources[(kind, name)] = (language, body)
        at = (at + header_size + size + 3) & ~3
    return resources


def read_version_node(data, at):
    """One node of the version block: (key, value, children, end)."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while struct.unpack_from("<H", data, key_end)[0] != 0:
        key_end += 2
    key = data[at + 6 : key_end].decode("utf-16-le")
    p = (key_end + 2 + 3) & ~3
    if is_text:
        value = data[p : p + value_length * 2].decode("utf-16-le").rstrip("\0")
        p += value_length * 2
    else:
        value = data[p : p + value_length]
        p += value_length
    children = []
    p = (p + 3) & ~3
    while p < end:
        child = read_version_node(data, p)
        children.append(child)
        p = (child[3] + 3) & ~3
    return key, value, children, end


def main(path):
    resources = read_res(path)

    # The icon group 1: six images, 256 colours then 32-bit, each at 48, 32 and 16 pixels.
    language, group = resources.get((RT_GROUP_ICON, 1), (None, b""))
    check(bool(group), "icon group 1 is missing")
    if group:
        reserved, kind, count = struct.unpack_from("<HHH", group, 0)
        check((reserved, kind, count) == (0, 1, 6), f"icon group header {reserved, kind, count}")
        expected = [(48, 8), (32, 8), (16, 8), (48, 32), (32, 32), (16, 32)]
        for i in range(count):
            width, height, colours, _, planes, bits, size, image_id = struct.unpack_from(
                "<BBBBHHIH", group, 6 + 14 * i)
            check(image_id == 30001 + i, f"image {i + 1} has id {image_id}")
            size_px, depth = expected[i]
            check((width, height, bits) == (size_px, size_px, depth),
                  f"image {image_id} is {width}x{height} at {bits} bits")
            check(planes == 1, f"image {image_id} has {planes} planes")
            image_language, image = resources.get((RT_ICON, image_id), (None, b""))
            check(len(image) == size, f"image {image_id} holds {len(image)} bytes, not {size}")
            if image:
                header = struct.unpack_from("<IiiHH", image, 0)
                check(header[0] == 40 and header[1] == width and header[2] == 2 * height
                      and header[4] == bits, f"image {image_id}'s bitmap header {header}")
            check(image_language == LANG_ZH_CN, f"image {image_id} language {image_language}")
    check(language == LANG_ZH_CN, f"icon group language {language}")

    # The button icons: 16 x 16 each, 256 colours and 32-bit, the decoder's 256 colours only;
    # then, for screens of 125, 150 and 200 per cent, 20, 24 and 32 pixels at 32-bit.
    larger = [(size, size, 32) for size in (20, 24, 32)]
    for group_id, depths in ((101, [8, 32]), (102, [8, 32]), (103, [8, 32]), (104, [8])):
        _, group = resources.get((RT_GROUP_ICON, group_id), (None, b""))
        check(bool(group), f"button icon group {group_id} is missing")
        if not group:
            continue
        count = struct.unpack_from("<HHH", group, 0)[2]
        found = []
        for i in range(count):
            width, height, _, _, _, bits, size, image_id = struct.unpack_from(
                "<BBBBHHIH", group, 6 + 14 * i)
            found.append((width, height, bits))
            check(len(resources.get((RT_ICON, image_id), (None, b""))[1]) == size,
                  f"button icon {group_id}'s image {image_id} is missing or cut")
        check(found == [(16, 16, d) for d in depths] + larger,
              f"button icon {group_id} holds {found}")

    # The version block: numbers 1.0.0.0, one string table 080404b0, translation 2052/1200.
    language, version = resources.get((RT_VERSION, 1), (None, b""))
    check(bool(version), "version block is missing")
    if version:
        key, fixed, children, _ = read_version_node(version, 0)
        check(key == "VS_VERSION_INFO", f"version root {key!r}")
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
        check(signature == 0xFEEF04BD, "fixed file info signature")
        check((file_ms, file_ls, product_ms, product_ls) == (0x10000, 0, 0x10000, 0),
              "numeric file and product version are not 1.0.0.0")
        blocks = {child[0]: child for child in children}
        tables = blocks.get("StringFileInfo", (None, None, [], 0))[2]
        check([t[0] for t in tables] == ["080404b0"], f"string tables {[t[0] for t in tables]}")
        strings = {s[0]: s[1] for t in tables for s in t[2]}
        expected = {
            "CompanyName": "Ovrani",
            "FileDescription": "【快车+迅雷+旋风】的专用链接加密与解密",
            "FileVersion": "1.00",
            "InternalName": "Zentrova",
            "OriginalFilename": "Zentrova.exe",
            "ProductName": "Zentrova",
            "ProductVersion": "1.00",
        }
        check(strings == expected, f"version strings {strings}")
        variables = blocks.get("VarFileInfo", (None, None, [], 0))[2]
        translation = [v[1] for v in variables if v[0] == "Translation"]
        check(translation == [struct.pack("<HH", LANG_ZH_CN, 1200)],
              f"translation {translation}")
    check(language == LANG_ZH_CN, f"version block language {language}")

    # The manifest: its own identity and the dependency on the common controls, version 6.
    _, manifest = resources.get((RT_MANIFEST, 1), (None, b""))
    check(bool(manifest), "manifest 1 is missing")
    if manifest:
        ns = {"asm": "urn:schemas-microsoft-com:asm.v1"}
        root = ET.fromstring(manifest)
        own = root.find("asm:assemblyIdentity", ns)
        check(own is not None and own.get("type") == "win32" and own.get("version") == "1.0.0.0"
              and own.get("processorArchitecture") == "*", "the manifest's own identity")
        deps = root.findall("asm:dependency/asm:dependentAssembly/asm:assemblyIdentity", ns)
        wanted = {"type": "win32", "name": "Microsoft.Windows.Common-Controls",
                  "version": "6.0.0.0", "processorArchitecture": "*",
                  "publicKeyToken": "6595b64144ccf1df", "language": "*"}
        check([d.attrib for d in deps] == [wanted], f"manifest dependencies {[d.attrib for d in deps]}")
        aware = root.find("{urn:schemas-microsoft-com:asm.v3}application/"
                          "{urn:schemas-microsoft-com:asm.v3}windowsSettings/"
                          "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")
        check(aware is not None and aware.text == "true", "the manifest declares DPI awareness")

    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(resources)} resources read, {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
