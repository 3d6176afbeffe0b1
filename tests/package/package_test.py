"""The release zip: exactly the four files at its root, the program as built,
a guide Notepad on a Japanese Windows reads (code page 932, CRLF) that names
every option of the program's own option table, and an unpacked brovane.exe
that sets a wallpaper under Wine."""
import argparse
import re
import shutil
import struct
import subprocess
import sys
import unittest
import zipfile
from pathlib import Path

ARGS = None
EXPECTED_FILES = {"brovane.exe", "g24apack.exe", "brovane.txt", "LICENSE"}
DESKTOP_KEY = r"HKCU\Control Panel\desktop"
DESKTOP_VALUES = ("Wallpaper", "TileWallpaper", "Wallpaperstyle")


def style_options(source_path):
    """The options in the order of STYLE_OPTIONS, read from the source text."""
    text = Path(source_path).read_text(encoding="utf-8")
    table = re.search(r"STYLE_OPTIONS\[\]\s*=\s*\{(.*?)\n\};", text, re.S)
    if table is None:
        raise AssertionError("STYLE_OPTIONS not found in " + source_path)
    return re.findall(r'\{\s*"(/[^"]+)"\s*,', table.group(1))


def version_text_of(program):
    """The FileVersion string of the program's version block: the UTF-16 key,
    its terminator, padding to 4 bytes, then the value."""
    data = Path(program).read_bytes()
    key = "FileVersion".encode("utf-16-le") + b"\0\0"
    start = data.find(key)
    if start < 0:
        raise AssertionError("no FileVersion in " + program)
    value = (start + len(key) + 3) // 4 * 4
    end = value
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[value:end].decode("utf-16-le")


def tiny_bitmap(path):
    """A 2 x 2 24-bit bottom-up BMP: four distinct colours, rows of 8 bytes."""
    pixels = bytes([0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0])
    info = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    path.write_bytes(header + info + pixels)


def query_desktop(name):
    """The value's text, or None when it is not there."""
    run = subprocess.run([ARGS.wine, "reg", "query", DESKTOP_KEY, "/v", name],
                         capture_output=True, text=True, errors="replace")
    if run.returncode != 0:
        return None
    for line in run.stdout.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
            return parts[2].strip() if len(parts) == 3 else ""
    return None


def put_desktop(name, value):
    if value is None:
        subprocess.run([ARGS.wine, "reg", "delete", DESKTOP_KEY, "/v", name, "/f"], capture_output=True)
    else:
        subprocess.run([ARGS.wine, "reg", "add", DESKTOP_KEY, "/v", name, "/d", value, "/f"],
                       capture_output=True, check=True)


class ReleaseZipTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        zip_path = Path(ARGS.zip)
        if not zip_path.is_file():
            raise AssertionError(f"{zip_path} is missing: build the package target first")
        cls.work = Path(ARGS.work)
        shutil.rmtree(cls.work, ignore_errors=True)
        cls.unpacked = cls.work / "unpacked"
        with zipfile.ZipFile(zip_path) as archive:
            cls.names = archive.namelist()
            archive.extractall(cls.unpacked)

    def test_exactly_the_four_files_at_the_root(self):
        self.assertEqual(len(self.names), len(set(self.names)))
        self.assertEqual(EXPECTED_FILES, set(self.names))

    def test_zip_name_carries_the_programs_version(self):
        version = version_text_of(self.unpacked / "brovane.exe")
        self.assertRegex(version, r"^\d+\.\d\d$")
        self.assertEqual(f"brovane-{version}-win32.zip", Path(ARGS.zip).name)

    def test_programs_are_the_built_ones(self):
        for name, built in (("brovane.exe", ARGS.program), ("g24apack.exe", ARGS.packer)):
            with self.subTest(name=name):
                self.assertEqual(Path(built).read_bytes(), (self.unpacked / name).read_bytes())

    def test_guide_is_code_page_932_with_crlf(self):
        raw = (self.unpacked / "brovane.txt").read_bytes()
        text = raw.decode("cp932")  # raises on a byte sequence outside the code page
        self.assertIn("壁紙", text)
        self.assertEqual(raw.count(b"\n"), raw.count(b"\r\n"), "a bare LF")
        self.assertEqual(raw.count(b"\r"), raw.count(b"\r\n"), "a bare CR")
        self.assertTrue(raw.endswith(b"\r\n"))

    def test_guide_names_every_option_with_an_example(self):
        options = style_options(ARGS.options_source)
        self.assertIn("/tile", options)
        text = (self.unpacked / "brovane.txt").read_bytes().decode("cp932")
        for option in options:
            with self.subTest(option=option):
                line = re.search(r"(?m)^\s+" + re.escape(option) + r"\s", text)
                self.assertIsNotNone(line, "no line of the guide explains " + option)
                self.assertIn("brovane.exe " + option + " ", text, "no example of " + option)

    def test_licence_is_mit_with_the_name(self):
        text = (self.unpacked / "LICENSE").read_text(encoding="ascii")
        self.assertTrue(text.startswith("MIT License"))
        self.assertIn("brovane", text)
        self.assertIn("Copyright (c) 2026 Velmique", text)
        self.assertIn("THE SOFTWARE IS PROVIDED \"AS IS\"", text)

    def test_unpacked_program_sets_a_tiled_wallpaper_under_wine(self):
        picture = self.work / "picture.bmp"
        tiny_bitmap(picture)
        before = {name: query_desktop(name) for name in DESKTOP_VALUES}
        self.addCleanup(lambda: [put_desktop(n, v) for n, v in before.items()])
        put_desktop("TileWallpaper", "0")
        put_desktop("Wallpaperstyle", "2")
        run = subprocess.run([ARGS.wine, str(self.unpacked / "brovane.exe"), "/tile", "picture.bmp"],
                             cwd=self.work, capture_output=True, timeout=60)
        self.assertEqual(0, run.returncode, run.stderr.decode(errors="replace")[-2000:])
        expected = "Z:" + str(picture.resolve()).replace("/", "\\")
        self.assertEqual(expected.lower(), (query_desktop("Wallpaper") or "").lower())
        self.assertEqual("1", query_desktop("TileWallpaper"))
        self.assertEqual("0", query_desktop("Wallpaperstyle"))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("--zip", "--program", "--packer", "--options-source", "--work", "--wine"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
