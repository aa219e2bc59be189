"""Packs the skin archive ResStorage.dat: a plain zip of deflated entries with ASCII names in the
backslash form the viewer looks them up by, fixed times and a fixed order, so every build of the
same sources gives the same bytes.

Usage: packskin.py <output> <source folder> <folder of the drawn skin folders>
"""

import os
import sys
import zipfile


def add(archive, name, path):
    info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    with open(path, "rb") as source:
        archive.writestr(info, source.read())


def main():
    output, sources, drawn = sys.argv[1:4]
    entries = [
        ("cfg\\cfg.xml", os.path.join(sources, "cfg.xml")),
        ("cfg\\pidinfo.xml", os.path.join(sources, "pidinfo.xml")),
        ("default\\default_r4.ini", os.path.join(sources, "default_r4.ini")),
        ("default\\def_config.txt", os.path.join(sources, "def_config.txt")),
    ]
    for folder in sorted(os.listdir(drawn)):
        for name in sorted(os.listdir(os.path.join(drawn, folder))):
            entries.append((folder + "\\" + name, os.path.join(drawn, folder, name)))
    for name, _ in entries:
        name.encode("ascii")
    temporary = output + ".part"
    with zipfile.ZipFile(temporary, "w", allowZip64=False) as archive:
        for name, path in entries:
            add(archive, name, path)
    os.replace(temporary, output)


if __name__ == "__main__":
    main()
