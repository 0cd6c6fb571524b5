#!/usr/bin/env python3
"""Writes data/demo-mappings.tsv from the links of the window's sample input.

Every bdhd link gets an invented ed2k hash; every qvod link gets a bdhd link of
the same size and name with an invented bdhd hash, and that hash an invented
ed2k hash, so that qvod -> bdhd -> ed2k resolves for the whole sample. The
invented hashes are MD5 digests of fixed seeds, so running this again gives the
same file. Not part of the build: run it by hand after the sample input changes.
"""
import hashlib
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parent.parent


def invented(seed: str) -> str:
    return hashlib.md5(seed.encode()).hexdigest().upper()


def sample_links():
    source = (ROOT / "app" / "sample_input.cpp").read_text(encoding="utf-8")
    return re.findall(r'"((?:bdhd|qvod)://[^"\\]+)\\r\\n"', source)


def main():
    lines = [
        "# Demo data for linkmill-services: the ed2k hashes and the bdhd hashes",
        "# that the qvod links map to are invented, and name no real file.",
        "# Written by data/make-demo-mappings.py from the window's sample input.",
    ]
    qvod_lines = []
    for link in sample_links():
        scheme, rest = link.split("://", 1)
        size, hash_, name = rest.split("|", 2)
        if scheme == "bdhd":
            lines.append(f"bdhd\t{hash_}\t{invented('ed2k:' + hash_)}")
        else:
            bdhd_hash = invented("bdhd:" + hash_)
            qvod_lines.append(f"qvod\t{hash_}\tbdhd://{size}|{bdhd_hash}|{name}")
            lines.append(f"bdhd\t{bdhd_hash}\t{invented('ed2k:' + bdhd_hash)}")
    links = sample_links()
    assert sum(l.startswith("bdhd") for l in links) == 20 and len(links) == 40
    (ROOT / "data" / "demo-mappings.tsv").write_text("\n".join(lines + qvod_lines) + "\n",
                                                     encoding="utf-8")


if __name__ == "__main__":
    main()
