#!/usr/bin/env python3
"""Checks what the Windows build hands to users: the compiled help file, the size and symbols
of the shipped executable, and the portable package. Run by ctest (tests/package); exits 1 and
names every fault found."""

import html.parser
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

faults = []


def check(condition, message):
    if not condition:
        faults.append(message)
    return condition


# ---- help file -------------------------------------------------------------------------------

# Facts that other parts of the product define; the help has to say them as they are.
HELP_FACTS = [
    ("starting.html", "Mnemora.exe -m"),
    ("settings.html", r"HKEY_LOCAL_MACHINE\SOFTWARE\Mnemora.Net"),
    ("settings.html", r"HKEY_CURRENT_USER\SOFTWARE\Mnemora.Net"),
    ("settings.html", r"HKEY_CURRENT_USER\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"),
    ("install.html", "/REMOVESETTINGS"),
    ("install.html", "Uninstall.exe"),
    ("tray.html", "Show Window"),
    ("options.html", "0 to 50"),
]


def chm_system_entries(data):
    """The #SYSTEM file: a version, then (code, length, bytes) records."""
    entries = {}
    offset = 4
    while offset + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, offset)
        entries[code] = data[offset + 4:offset + 4 + length]
        offset += 4 + length
    return entries


def c_string(raw):
    return raw.split(b"\0", 1)[0].decode("cp1252")


class LinkCollector(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links = []
        self.sitemap = []  # (Name, Local) of <param> pairs in sitemap objects
        self.title = None
        self._in_title = False
        self._params = {}

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag in ("a", "link") and attrs.get("href"):
            self.links.append(attrs["href"])
        if tag == "img" and attrs.get("src"):
            self.links.append(attrs["src"])
        if tag == "object":
            self._params = {}
        if tag == "param" and attrs.get("name"):
            self._params[attrs["name"].lower()] = attrs.get("value", "")
        if tag == "title":
            self._in_title = True
            self.title = ""

    def handle_endtag(self, tag):
        if tag == "object" and "local" in self._params:
            self.sitemap.append((self._params.get("name", ""), self._params["local"]))
            self._params = {}
        if tag == "title":
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def parse(text):
    collector = LinkCollector()
    collector.feed(text)
    collector.close()
    return collector


def check_help(chm, source_dir, version, title):
    extractor = shutil.which("extract_chmLib")
    if not check(extractor, "extract_chmLib not found (Debian package libchm-bin)"):
        return
    with tempfile.TemporaryDirectory() as out:
        result = subprocess.run([extractor, chm, out], capture_output=True, timeout=60)
        if not check(result.returncode == 0, f"extract_chmLib failed on {chm}"):
            return
        files = {os.path.relpath(os.path.join(d, f), out).replace(os.sep, "/")
                 for d, _, names in os.walk(out) for f in names}

        def read(name):
            with open(os.path.join(out, name), "rb") as f:
                return f.read().decode("cp1252")

        if not check("#SYSTEM" in files, "the help file has no #SYSTEM record"):
            return
        with open(os.path.join(out, "#SYSTEM"), "rb") as f:
            system = chm_system_entries(f.read())
        # Codes: 0 contents file, 1 index file, 2 default topic, 3 title.
        check(c_string(system.get(3, b"")) == title,
              f"title is {c_string(system.get(3, b''))!r}, not {title!r} (hh.exe names its window by it)")
        default_topic = c_string(system.get(2, b""))
        check(default_topic in files, f"default topic {default_topic!r} is not in the help file")

        sources = {f for f in os.listdir(source_dir) if f.endswith((".html", ".css"))}
        for missing in sorted(sources - files):
            faults.append(f"{missing} from docs/help is not in the help file (missing from [FILES]?)")
        topics = sorted(f for f in files if f.endswith(".html"))

        for code, what in ((0, "contents"), (1, "index")):
            name = c_string(system.get(code, b""))
            if not check(name in files, f"the {what} file {name!r} is not in the help file"):
                continue
            entries = parse(read(name)).sitemap
            check(entries, f"the {what} file {name} has no entries")
            for label, local in entries:
                check(local in files, f"{what} entry {label!r} points to {local!r}, which is not in the help file")
            if code == 0:
                listed = {local for _, local in entries}
                for orphan in sorted(set(topics) - listed):
                    faults.append(f"topic {orphan} is not in the table of contents")

        for topic in topics:
            page = parse(read(topic))
            check(page.title and page.title.strip(), f"{topic} has no <title>")
            for link in page.links:
                if re.match(r"^[a-z]+:", link) or link.startswith("#"):
                    continue
                target = link.split("#", 1)[0]
                check(target in files, f"{topic} links to {link!r}, which is not in the help file")
            text = read(topic)
            leftover = re.findall(r"@[A-Za-z_]+@", text)
            check(not leftover, f"{topic} still holds {leftover} (not configured)")

        check(f"Version {version}" in read("index.html"), f"index.html does not show version {version}")
        for topic, fact in HELP_FACTS:
            check(topic in files and fact in read(topic), f"{topic} does not say {fact!r}")


# ---- shipped executable --------------------------------------------------------------------

def check_exe(exe, max_bytes):
    size = os.path.getsize(exe)
    check(size <= max_bytes, f"{exe} is {size} bytes, more than {max_bytes}")
    with open(exe, "rb") as f:
        data = f.read()
    if not check(data[:2] == b"MZ", f"{exe} is not a Windows executable"):
        return
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    check(data[pe:pe + 4] == b"PE\0\0", f"{exe} has no PE header")
    machine, sections, _, symbol_table, symbols, optional_size = struct.unpack_from("<HHIIIH", data, pe + 4)
    check(machine == 0x8664, f"{exe} is not an x86-64 program")
    check(symbol_table == 0 and symbols == 0, f"{exe} still carries a symbol table ({symbols} symbols)")
    first = pe + 24 + optional_size
    names = [data[first + 40 * i:first + 40 * i + 8].rstrip(b"\0") for i in range(sections)]
    debug = [n.decode("latin-1") for n in names if n.startswith((b".debug", b"/"))]
    check(not debug, f"{exe} still carries debugging sections {debug}")


# ---- portable package ----------------------------------------------------------------------

def check_zip(package, exe, chm, version):
    wanted = {"Mnemora.exe": exe, "MnemoraNet.chm": chm, "ReadMe.txt": None, "License.txt": None}
    with zipfile.ZipFile(package) as z:
        names = set(z.namelist())
        check(names == set(wanted), f"{package} holds {sorted(names)}, not {sorted(wanted)}")
        for name, built in wanted.items():
            if name not in names:
                continue
            data = z.read(name)
            if built:
                with open(built, "rb") as f:
                    check(data == f.read(), f"{name} in the package differs from the build's {built}")
            else:
                check(b"\r\n" in data and b"\n" not in data.replace(b"\r\n", b""),
                      f"{name} does not have Windows line ends")
        if "ReadMe.txt" in names:
            check(version.encode() in z.read("ReadMe.txt"), f"ReadMe.txt does not name version {version}")
        if "License.txt" in names:
            check(z.read("License.txt").startswith(b"MIT License"), "License.txt is not the MIT licence")


def main(argv):
    usage = ("usage: check_packages.py help CHM SOURCE_DIR VERSION TITLE | exe EXE MAX_BYTES |"
             " zip ZIP EXE CHM VERSION")
    if len(argv) < 2:
        print(usage)
        return 2
    what, args = argv[1], argv[2:]
    if what == "help" and len(args) == 4:
        check_help(*args)
    elif what == "exe" and len(args) == 2:
        check_exe(args[0], int(args[1]))
    elif what == "zip" and len(args) == 4:
        check_zip(*args)
    else:
        print(usage)
        return 2
    for fault in faults:
        print("FAULT:", fault)
    print(f"{what}: {len(faults)} fault(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
