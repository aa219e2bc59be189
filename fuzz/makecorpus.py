"""Makes the seed corpora of the fuzz targets, fuzz/corpus/<target>/, from the fixture makers, the
skin archive of a build and a few files made here. The seeds are kept in the repository; this is
run again only when a format or a target changes. Seeds stay tiny: a fuzzer mutates small inputs
faster, and the repository carries them.

Usage: makecorpus.py <build folder with bin/trevo-make-* and bin/ResStorage.dat> [corpus folder]
"""

import io
import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

PICTURE = ["--size", "96x64", "--frames", "2", "--fps", "2", "--keyframe-interval", "2"]


class Corpus:
    def __init__(self, root):
        self.root = root

    def put(self, target, name, data):
        folder = os.path.join(self.root, target)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


def run(tool, *arguments):
    subprocess.run([tool, *arguments], check=True, stdout=subprocess.DEVNULL)


def read(path):
    with open(path, "rb") as source:
        return source.read()


def recordings(corpus, bin_folder, work):
    maker = os.path.join(bin_folder, "trevo-make-recording")
    cases = {
        "model0-signed.mp4": [],
        "model1-sound.mov": ["--model", "1", "--audio", "--audio-rate", "8000"],
        "model2-mdat64.mp4": ["--model", "2", "--mdat64"],
        "void-fixes.mp4": ["--gps-void", "--gsensor-per-second", "3"],
        "no-index.mp4": ["--damage", "no-index"],
        "gps-length.mp4": ["--damage", "gps-length=9999"],
        "box-size.mp4": ["--damage", "box-size=SENS:100000"],
        "plain.mp4": ["--no-recorder-boxes"],
    }
    for name, options in cases.items():
        path = os.path.join(work, name)
        run(maker, path, *PICTURE, *options)
        corpus.put("moviemetadata_fuzz", name, read(path))


def avi_files(bin_folder, work):
    maker = os.path.join(bin_folder, "trevo-make-avi")
    cases = {
        "one-stream.avi": ["--streams", "1"],
        "two-streams-sound.avi": ["--streams", "2", "--audio", "--audio-rate", "8000"],
        "four-streams.avi": ["--streams", "4"],
        "text-lead-in.avi": ["--streams", "2", "--text-lead-in"],
        "lists-before-index.avi": ["--streams", "1", "--lists-before-index", "1", "--extra-index-entries", "2"],
        "no-index.avi": ["--streams", "2", "--damage", "no-index"],
        "cut-short.avi": ["--streams", "3", "--damage", "truncate=3000"],
        "index-size.avi": ["--streams", "1", "--damage", "index-size=4000000"],
        "header-size.avi": ["--streams", "1", "--damage", "header-size=70000"],
    }
    files = {}
    for name, options in cases.items():
        path = os.path.join(work, name)
        run(maker, path, *PICTURE, *options)
        streams = int(options[options.index("--streams") + 1])
        files[name] = (streams, read(path))
    return files


def avi(corpus, files):
    for name, (streams, data) in files.items():
        corpus.put("avimetadata_fuzz", name, data)
        corpus.put("repairavi_fuzz", name, data)
        # The copy target's first byte: the tag for the streams in its low bits, the streams kept
        # above them (all, and the first alone).
        for keep in (0b1111, 0b0001):
            corpus.put("copyavichannels_fuzz", "keep%d-%s" % (keep, name), bytes([(streams - 1) | keep << 2]) + data)


def cards(corpus, bin_folder, work):
    maker = os.path.join(bin_folder, "trevo-make-card")
    cases = [
        ("model0", ["--model", "0"]),
        ("model1-mov", ["--model", "1", "--container", "mov", "--prefix", "mixed"]),
        ("model2-strays", ["--model", "2", "--strays", "--upper-case"]),
        ("model3-mixed", ["--model", "3", "--avi-layout", "mixed"]),
        ("model3-pairs", ["--model", "3", "--avi-layout", "pair", "--config", "bad-checksum"]),
        ("model3-plain", ["--model", "3", "--avi-layout", "Q", "--config", "plain", "--config-padding", "3"]),
    ]
    for name, options in cases:
        root = os.path.join(work, name)
        listing = subprocess.run([maker, root, "--names-only", "--list", *options], check=True,
                                 stdout=subprocess.PIPE).stdout.decode()
        names = [line.rsplit("/", 1)[-1] for line in listing.splitlines() if "/" in line]
        corpus.put("filenames_fuzz", name + ".txt", "\n".join(names[:16]).encode())
        for config in ("config.txt", "CONFIG.TXT", "Parameter/config.txt", "PARAMETER/CONFIG.TXT"):
            path = os.path.join(root, config)
            if os.path.exists(path):
                corpus.put("inifile_fuzz", name + "-config.txt", read(path))


def skin(corpus, archive_path):
    with zipfile.ZipFile(archive_path) as archive:
        entry = {name: archive.read(name) for name in archive.namelist()}
    # Every language on the English skin, so that whichever the settings choose is in the archive.
    cfg = entry["cfg\\cfg.xml"].replace(b"skin_ko", b"skin_en").replace(b"skin_ja", b"skin_en")
    devices = entry["cfg\\pidinfo.xml"]
    defaults = {name: entry[name] for name in ("default\\default_r4.ini", "default\\def_config.txt")}
    corpus.put("inifile_fuzz", "default_r4.ini", defaults["default\\default_r4.ini"])
    corpus.put("inifile_fuzz", "def_config.txt", defaults["default\\def_config.txt"])

    # Two items of each kind from the English skin, with the smallest of their images.
    items = re.findall(r"<item>.*?</item>", entry["skin_en\\skin.xml"].decode(), re.S)
    kept = []
    for kind in ("button", "slider", "static", "dummy", "list", "combobox"):
        kept += [item for item in items if "<type>%s</type>" % kind in item][:2]
    components = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<component>\n%s\n</component>\n" % "\n".join(kept)
    images = {name for item in kept for name in re.findall(r">([^<>]+\.bmp)<", item)}
    bitmaps = sorted((len(entry["skin_en\\" + name]), name) for name in images if "skin_en\\" + name in entry)

    packed = io.BytesIO()
    with zipfile.ZipFile(packed, "w") as out:
        def add(name, data):
            info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            out.writestr(info, data)

        add("cfg\\cfg.xml", cfg)
        add("cfg\\pidinfo.xml", devices)
        for name, data in defaults.items():
            add(name, data)
        add("skin_en\\skin.xml", components.encode())
        for _, name in bitmaps:
            add("skin_en\\" + name, entry["skin_en\\" + name])
    corpus.put("skinarchive_fuzz", "small-skin.dat", packed.getvalue())

    # The XML target: its first byte picks the entry and the model (byte % 3, byte / 3 % 4). Its
    # archive holds one image, a.bmp, and names the skin folder "skin".
    skin_cfg = re.sub(rb"skin_(en|ko|ja)", b"skin", cfg)
    for model in range(4):
        corpus.put("skinxml_fuzz", "cfg-model%d.xml" % model, bytes([model * 3]) + skin_cfg)
    corpus.put("skinxml_fuzz", "skin.xml", bytes([1]) + re.sub(r">[^<>]+\.bmp<", ">a.bmp<", components).encode())
    corpus.put("skinxml_fuzz", "pidinfo.xml", bytes([2]) + devices)

    for _, name in bitmaps[:4]:
        corpus.put("skinbitmap_fuzz", name, entry["skin_en\\" + name])
    for bits in (16, 24, 32):
        corpus.put("skinbitmap_fuzz", "made-%d.bmp" % bits, bmp(3, 2, bits))


def bmp(width, height, bits):
    stride = (width * bits // 8 + 3) // 4 * 4
    pixels = bytes((x * 37 + y * 11) & 0xFF for y in range(height) for x in range(stride))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels


def zips(corpus, work):
    def build(name, entries, **options):
        packed = io.BytesIO()
        with zipfile.ZipFile(packed, "w", **options) as out:
            for entry, data, method in entries:
                info = zipfile.ZipInfo(entry, date_time=(2020, 1, 1, 0, 0, 0))
                info.compress_type = method
                out.writestr(info, data)
            out.comment = b"made for the fuzzer"
        corpus.put("ziparchive_fuzz", name, packed.getvalue())

    text = b"<item><type>button</type><id>0x10000002</id></item>\n" * 20
    build("stored-and-deflated.zip", [("cfg\\cfg.xml", text, zipfile.ZIP_DEFLATED),
                                      ("skin/a.bmp", bmp(4, 4, 24), zipfile.ZIP_STORED),
                                      ("folder/", b"", zipfile.ZIP_STORED)])
    build("empty-entries.zip", [("empty.txt", b"", zipfile.ZIP_DEFLATED), ("none", b"", zipfile.ZIP_STORED)])

    # Data descriptors: written when the archive cannot seek back.
    class Unseekable(io.RawIOBase):
        def __init__(self):
            self.data = bytearray()

        def writable(self):
            return True

        def write(self, data):
            self.data += data
            return len(data)

    stream = Unseekable()
    with zipfile.ZipFile(stream, "w", compression=zipfile.ZIP_DEFLATED) as out:
        with out.open("streamed.txt", "w") as entry:
            entry.write(text)
    corpus.put("ziparchive_fuzz", "data-descriptor.zip", bytes(stream.data))

    # Traditional encryption with the target's password and with another one.
    folder = os.path.join(work, "zip")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "secret.txt"), "wb") as out:
        out.write(text)
    with open(os.path.join(folder, "plain.bin"), "wb") as out:
        out.write(bytes(range(256)))
    for password, name in (("secret", "encrypted.zip"), ("other", "other-password.zip")):
        path = os.path.join(work, name)
        subprocess.run(["zip", "-q", "-X", "-P", password, path, "secret.txt", "plain.bin"], cwd=folder, check=True)
        corpus.put("ziparchive_fuzz", name, read(path))


def registry(corpus):
    def field(data):
        return struct.pack("<I", len(data)) + data

    def text(value):
        return value.encode("utf-16-le")

    keys = [
        ("SOFTWARE\\TREVO_VIEWER\\conf", [("LanguageID", 1, text("2")), ("Volume", 4, struct.pack("<I", 3))]),
        ("SOFTWARE\\TREVO_VIEWER\\window", [("", 3, b"\x01\x02\x03"), ("Left", 4, struct.pack("<I", 40))]),
    ]
    body = b"TREVOREG" + struct.pack("<II", 1, len(keys))
    for path, values in keys:
        body += field(path.encode()) + struct.pack("<I", len(values))
        for name, kind, data in values:
            body += field(name.encode()) + struct.pack("<I", kind) + field(data)
    whole = body + struct.pack("<I", zlib.crc32(body))
    # The target's first byte: odd appends the checksum itself, even takes the file as it is.
    corpus.put("registryfile_fuzz", "store.dat", b"\x00" + whole)
    corpus.put("registryfile_fuzz", "store-body.dat", b"\x01" + body)


def devices(corpus):
    # The mount table: a system's own lines, a card with a space in its label (octal escape), optional
    # fields, a bind mount of a folder, and a later mount hiding an earlier one on the same point.
    corpus.put("mountinfo_fuzz", "system.txt", b"""\
22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro
23 22 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw
24 22 0:5 / /dev rw,nosuid shared:2 - devtmpfs udev rw,size=4012345k,mode=755
25 22 0:25 / /run rw,nosuid,nodev,noexec,relatime shared:5 - tmpfs tmpfs rw,size=804k,mode=755
""")
    corpus.put("mountinfo_fuzz", "cards.txt", b"""\
22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw
90 22 8:17 / /media/user/REC\\040CARD rw,nosuid,nodev,relatime shared:300 master:7 - vfat /dev/sdb1 rw,uid=1000
91 22 8:17 /DCIM /home/user/dcim rw,relatime shared:301 - vfat /dev/sdb1 rw
92 22 8:33 / /mnt/card rw,relatime - exfat /dev/sdc1 rw
93 22 8:49 / /mnt/card rw,relatime - vfat /dev/sdd1 rw
""")
    # The extra volumes: plain folders, ids, escapes, and entries that are left out.
    corpus.put("extravolumes_fuzz", "folders.txt", b"/tmp/card;/home/user/demo card:04e8:6860")
    corpus.put("extravolumes_fuzz", "escapes.txt", b"/a\\;b\\:c:1:2;;relative;/x:zz:1;/y:1")
    # Device instance ids as the platform names them, with and without a serial; a composite one.
    corpus.put("usbdeviceid_fuzz", "serial.txt", b"USB\\VID_04E8&PID_6860\\0123456789AB")
    corpus.put("usbdeviceid_fuzz", "composite.txt", b"USB\\VID_0BDA&PID_0129&MI_00\\6&2A5B#1")


def main():
    build = sys.argv[1]
    root = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
    bin_folder = os.path.join(build, "bin")
    corpus = Corpus(root)
    with tempfile.TemporaryDirectory() as work:
        recordings(corpus, bin_folder, work)
        avi(corpus, avi_files(bin_folder, work))
        cards(corpus, bin_folder, work)
        skin(corpus, os.path.join(bin_folder, "ResStorage.dat"))
        zips(corpus, work)
        registry(corpus)
        devices(corpus)


if __name__ == "__main__":
    main()
