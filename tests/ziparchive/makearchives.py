# Makes the real-world archives the zip library's tests read: Info-ZIP's zip (plain, with a
# password, written through a pipe, forced Zip64) and Python's zipfile (stored, deflated, folders,
# comment, and one laid out like the skin archive ResStorage.dat). Usage: makearchives.py FOLDER
import os
import random
import subprocess
import sys
import zipfile

out = sys.argv[1]
src = os.path.join(out, "src")
os.makedirs(os.path.join(src, "sub"), exist_ok=True)
rng = random.Random(7)


def put(name, data):
    with open(os.path.join(src, name), "wb") as f:
        f.write(data)


put("a.txt", b"hello from Info-ZIP\n" * 40)
put("b.bin", bytes(rng.getrandbits(8) for _ in range(50000)) + b"\0" * 60000)
put("sub/c.xml", b'<?xml version="1.0"?>\n<cfg><language>1</language></cfg>\n')
put("empty.txt", b"")
put("\uc2a4\ud0a8.xml", "<skin>\uc2a4\ud0a8</skin>".encode("utf-8"))
names = ["a.txt", "b.bin", "sub/c.xml", "empty.txt", "\uc2a4\ud0a8.xml"]


def zip_into(target, *options):
    subprocess.run(["zip", "-q", "-X", *options, target, *names], cwd=src, check=True)


zip_into(os.path.join(out, "infozip-plain.zip"))
zip_into(os.path.join(out, "infozip-password.zip"), "-P", "pw")
zip_into(os.path.join(out, "infozip-zip64.zip"), "-fz")
# Written to a pipe, zip cannot seek back: sizes and CRCs follow the data in descriptors.
piped = subprocess.run(["zip", "-q", "-X", "-", *names], cwd=src, check=True, stdout=subprocess.PIPE).stdout
with open(os.path.join(out, "infozip-pipe.zip"), "wb") as f:
    f.write(piped)

for label, method in (("stored", zipfile.ZIP_STORED), ("deflated", zipfile.ZIP_DEFLATED)):
    with zipfile.ZipFile(os.path.join(out, "python-%s.zip" % label), "w", method) as z:
        for name in names:
            z.write(os.path.join(src, name), name)
        z.mkdir("folder")
        z.writestr("folder/inner/", b"")
        z.comment = b"made by python zipfile"

# The skin archive's layout: XML settings, a skin folder of XML and bitmaps, default settings.
with zipfile.ZipFile(os.path.join(out, "ResStorage.dat"), "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("cfg/cfg.xml", '<?xml version="1.0" encoding="euc-kr"?>\n<cfg><language>1</language>'
               "<skin1>skin1</skin1><passwordCheck>0</passwordCheck></cfg>\n")
    z.writestr("cfg/pidinfo.xml", "<pidinfo><model><name>T310</name><vid>1D6B</vid><pid>0104</pid></model></pidinfo>\n")
    z.writestr("skin1/skin.xml", "<component>" + "".join(
        "<item><type>button</type><id>1000%04x</id><image><normal>b%d.bmp</normal></image></item>" % (i, i)
        for i in range(20)) + "</component>\n")
    for i in range(20):
        width = 16 + i
        pixels = bytes((x * 7 + i) & 0xFF for x in range(width * 16 * 3))
        z.writestr("skin1/b%d.bmp" % i, b"BM" + len(pixels).to_bytes(4, "little") + b"\0" * 48 + pixels)
    z.writestr("default/default_r4.ini", "Driving ResolutionF=1\r\nVolume=3\r\n")
    z.writestr("default/def_config.txt", "Volume=2\r\n")
    # A name stored with a backslash, as some Windows tools write them.
    z.writestr(zipfile.ZipInfo("skin1\\raw.bmp"), b"BMraw")
