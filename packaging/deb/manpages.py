#!/usr/bin/env python3
"""Writes one gzipped manual page per block of the source:
manpages.py SOURCE OUT_DIR VERSION, giving OUT_DIR/NAME.1.gz."""
import gzip
import os
import sys


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text.startswith((".", "'")) else text


def pages(lines):
    found = []
    for line in lines:
        if line.startswith("#") or not line.strip():
            continue
        if line.startswith("= "):
            name, summary = line[2:].split(" ", 1)
            page = {"name": name, "summary": summary, "body": []}
            found.append(page)
        elif line.startswith("== "):
            page["body"].append(".SH " + line[3:].strip())
        elif line.startswith(". "):
            page["body"] += [".TP", ".B " + roff(line[2:].strip())]
        elif line.startswith("    "):
            page["body"].append(roff(line.strip()))
        else:
            page["body"] += [".PP", roff(line.strip())]
    return found


def main():
    source, out_dir, version = sys.argv[1:4]
    os.makedirs(out_dir, exist_ok=True)
    with open(source, encoding="utf-8") as f:
        for page in pages(f.read().splitlines()):
            header = [f'.TH {page["name"].upper()} 1 "" "Kladdo {version}" "User Commands"', ".nh", ".ad l", ".SH NAME",
                      f'{roff(page["name"])} \\- {roff(page["summary"])}']
            text = "\n".join(header + page["body"]) + "\n"
            path = os.path.join(out_dir, page["name"] + ".1.gz")
            with open(path + ".tmp", "wb") as raw, gzip.GzipFile(fileobj=raw, mode="wb", mtime=0, filename="",
                                                                  compresslevel=9) as packed:
                packed.write(text.encode("utf-8"))
            os.replace(path + ".tmp", path)


if __name__ == "__main__":
    main()
