"""to_cp932.py source.txt target.txt: the guide as Notepad on a Japanese
Windows reads it, code page 932 with CRLF line ends. A character the code
page has no place for stops the build rather than becoming "?"."""
import sys

source, target = sys.argv[1], sys.argv[2]
with open(source, encoding="utf-8", newline="") as f:
    text = f.read()
if "\r" in text:
    sys.exit(f"{source}: keep the guide with LF line ends; CRLF is made here")
with open(target, "wb") as f:
    f.write(text.replace("\n", "\r\n").encode("cp932"))
