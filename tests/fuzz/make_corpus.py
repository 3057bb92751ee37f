#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/<target>/.

Every seed is made here, small and by hand, so that the fuzzer starts from inputs that reach
deep into each reader.  Run it again after changing it; the files are kept in the repository.
"""
import io
import os
import shutil
import struct
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


# ---- zip archives --------------------------------------------------------------------------

def zip_bytes(entries, comment=b""):
    """entries: (name, data, compression, unix mode or None, extra field)."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as z:
        for name, data, method, mode, extra in entries:
            info = zipfile.ZipInfo(name, date_time=(2001, 2, 3, 4, 5, 6))
            info.compress_type = method
            if mode is not None:
                info.create_system = 3
                info.external_attr = mode << 16
            info.extra = extra
            z.writestr(info, data)
        z.comment = comment
    return out.getvalue()


STORED, DEFLATED, BZIP2 = zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED, zipfile.ZIP_BZIP2
TIMESTAMP = struct.pack("<HHBi", 0x5455, 5, 1, 981173106)


def make_zips():
    put("zipreader", "tree.zip", zip_bytes([
        ("docs/", b"", STORED, 0o40755, b""),
        ("docs/read me.txt", b"hello " * 20, DEFLATED, 0o100644, TIMESTAMP),
        ("docs/sub/data.bin", bytes(range(64)), STORED, 0o100600, b""),
        ("top.txt", b"top\n", BZIP2, None, b""),
    ], comment=b"a comment"))
    put("zipreader", "unsafe.zip", zip_bytes([
        ("../outside.txt", b"x", STORED, None, b""),
        ("/absolute.txt", b"y", STORED, None, b""),
        ("a/./../../b.txt", b"z", STORED, None, b""),
        ("link", b"/etc/passwd", STORED, 0o120777, b""),
        ("fifo", b"", STORED, 0o10644, b""),
    ]))
    put("zipreader", "clash.zip", zip_bytes([
        ("same.txt", b"one", STORED, None, b""),
        ("same.txt", b"two", DEFLATED, None, b""),
        ("same.txt/inner.txt", b"three", STORED, None, b""),
        ("noperm.txt", b"four", STORED, 0o100000, b""),
    ]))
    put("zipreader", "zip64-claim.zip", zip64_claim(b"big.txt", b"abc", 1 << 62))


def zip64_claim(name, data, claimed):
    """A stored entry that claims, in a Zip64 field, to hold far more than it does."""
    crc = zlib.crc32(data)
    extra = struct.pack("<HHQ", 1, 8, claimed)
    shared = struct.pack("<HHHIIIIHH", 45, 0, 0, 0x00210000, crc, len(data), 0xFFFFFFFF,
                         len(name), len(extra))
    local = struct.pack("<I", 0x04034B50) + shared + name + extra + data
    central = (struct.pack("<IH", 0x02014B50, 45) + shared + struct.pack("<HHHII", 0, 0, 0, 0, 0)
               + name + extra)
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(central), len(local), 0)
    return local + central + end


# ---- REGEDIT4, settings, desktop entries, folders.txt, mount tables -----------------------------

def make_texts():
    reg = (
        "REGEDIT4\r\n\r\n"
        "[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"txtfile\"\r\n\"Content Type\"=\"text/plain\"\r\n\r\n"
        "[HKEY_CLASSES_ROOT\\txtfile\\shell\\open\\command]\r\n"
        "@=\"notepad \\\"%1\\\"\"\r\n"
        "; a comment\r\n"
        "[HKLM\\SOFTWARE\\Vastel]\r\n\"Path\"=\"C:\\\\Vastel\"\r\n\"Size\"=dword:00000010\r\n"
        "\"Bin\"=hex:01,02,03,\\\r\n  04,05\r\n\"Gone\"=-\r\n"
        "[-HKEY_CURRENT_USER\\Old]\r\n[HKEY_NOWHERE\\x]\r\n\"a\"=\"b\"\r\n"
    )
    put("regedit", "classes.reg", reg)
    put("regedit", "unicode.reg",
        "\ufeffWindows Registry Editor Version 5.00\n\n[HKCU\\Ünïcode]\n\"Näme\"=\"välue\"\n"
        .encode("utf-16-le"))

    put("inifile", "settings.ini",
        "\ufeff[Options]\r\nConfirm=1\r\n  Spaced Key = spaced value \r\n; comment\r\n\r\n"
        "[Totals]\r\nFiles=12345\r\nBytes=-7\r\n[options]\r\nConfirm=0\r\n# other comment\r\n"
        "[Broken\r\n=no name\r\nlast=no end")
    put("inifile", "plain.ini", "[A]\nx=1\n\n\n[B]\ny=2\n")

    put("desktopentry", "app.desktop",
        "# comment\n[Desktop Entry]\nType=Application\nName=Editor\n"
        "Exec=editor\\s--new %F\nTryExec=editor\nPath=/opt/editor\nIcon=editor\nIcon[de]=x\n"
        "Exec=second\n\n[Desktop Action New]\nExec=editor --window\n")
    put("desktopentry", "hidden.desktop", "[Desktop Entry]\r\nHidden=true\r\nExec=x\\\\y\\t\r\n")

    put("foldersfile", "folders.txt",
        b"/home/ann/keep\r\n/srv/data\r\n\r\n/tmp/caf\xe9\r\n/odd\rname\n/last")

    put("mountinfo", "mountinfo",
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "23 22 0:5 / /proc rw,nosuid - proc proc rw\n"
        "24 22 8:2 / /home rw,relatime shared:2 - ext4 /dev/sda2 rw\n"
        "25 22 8:3 / /mnt/with\\040blank rw - vfat /dev/sdb1 rw\n"
        "26 22 8:2 / /home rw - xfs /dev/sdc1 rw\n"
        "27 22 0:40 / /media/usb/ rw - exfat /dev/sdd1 rw\n"
        "broken line\n")
    put("mountinfo", "drivemap", "C=/tmp/w/c;d=/tmp/w/d/;E=relative;F=/x//y/..;;Z=/z")


# ---- the viewer --------------------------------------------------------------------------

def make_viewer():
    put("viewer", "text", "line one\n\tindented\ttabs\r\nUTF-8: \u00e9\u4e2d\n" + "x" * 70 + "\n")
    put("viewer", "binary", bytes(range(256)) + b"Readable run of text" + b"\0" * 10)
    put("viewer", "longline", b"a" * 4100 + b"\n" + b"b" * 900)


# ---- a Windows program with a version resource -------------------------------------------

def utf16z(text):
    return text.encode("utf-16-le") + b"\0\0"


def pad4(b):
    return b + b"\0" * (-len(b) % 4)


def block(key, kind, value, value_length, children):
    b = pad4(b"\0" * 6 + utf16z(key)) + value
    for child in children:
        b = pad4(b) + child
    return struct.pack("<HHH", len(b), value_length, kind) + b[6:]


def version_info():
    strings = [("CompanyName", "Seed Company"), ("FileVersion", "1.0"),
               ("LegalCopyright", "  (c) nobody"), ("ProductName", "Seed")]
    entries = [block(k, 1, utf16z(v), len(v) + 1, []) for k, v in strings]
    table = block("040904b0", 1, b"", 0, entries)
    string_info = block("StringFileInfo", 1, b"", 0, [table])
    var = block("Translation", 0, struct.pack("<HH", 0x0409, 0x04B0), 4, [])
    var_info = block("VarFileInfo", 1, b"", 0, [var])
    fixed = struct.pack("<II", 0xFEEF04BD, 0x00010000) + b"\0" * 44
    return block("VS_VERSION_INFO", 0, fixed, 52, [string_info, var_info])


def make_program():
    version = version_info()
    section_at, rva = 0x200, 0x1000
    rsrc = bytearray(0x58)
    # Root, name and language folders, each with one entry, then the data entry.
    struct.pack_into("<HII", rsrc, 0x0E, 1, 16, 0x80000018)
    struct.pack_into("<HII", rsrc, 0x18 + 0x0E, 1, 1, 0x80000030)
    struct.pack_into("<HII", rsrc, 0x30 + 0x0E, 1, 0x0409, 0x48)
    struct.pack_into("<II", rsrc, 0x48, rva + 0x58, len(version))
    rsrc = bytes(rsrc) + version

    head = bytearray(section_at)
    head[0:2] = b"MZ"
    struct.pack_into("<I", head, 0x3C, 0x40)
    head[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HH", head, 0x44, 0x14C, 1)
    struct.pack_into("<HH", head, 0x54, 224, 0x0102)
    optional = 0x58
    struct.pack_into("<H", head, optional, 0x10B)
    struct.pack_into("<I", head, optional + 92, 16)
    struct.pack_into("<II", head, optional + 96 + 16, rva, len(rsrc))
    section = optional + 224
    head[section:section + 8] = b".rsrc\0\0\0"
    struct.pack_into("<IIII", head, section + 8, len(rsrc), rva, len(rsrc), section_at)
    put("versioninfo", "program.exe", bytes(head) + rsrc)
    put("versioninfo", "dos-only.exe", b"MZ" + b"\0" * 62)


if __name__ == "__main__":
    shutil.rmtree(CORPUS, ignore_errors=True)
    make_zips()
    make_texts()
    make_viewer()
    make_program()
