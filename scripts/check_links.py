#!/usr/bin/env python3
"""Checks that every link between the tree's Markdown files resolves: each relative link
names a file or folder of the tree, and each #anchor a heading of the file it points into
(as GitHub makes anchors). Links to web sites are left alone. Run from the top of the tree."""
import os
import re
import subprocess
import sys

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)[^)]*\)|^\[[^\]]+\]:\s*(\S+)", re.M)


def without_code(text):
    text = re.sub(r"^```.*?^```", "", text, flags=re.M | re.S)
    return re.sub(r"`[^`\n]*`", "", text)


def anchors(path):
    with open(path, encoding="utf-8") as file:
        headings = re.findall(r"^#+\s+(.*)$", without_code(file.read()), re.M)
    return {re.sub(r"[^\w\- ]", "", h.strip().lower()).replace(" ", "-") for h in headings}


def main():
    files = subprocess.run(["git", "ls-files", "*.md"], capture_output=True, text=True,
                           check=True).stdout.split()
    broken = []
    for source in files:
        with open(source, encoding="utf-8") as file:
            text = without_code(file.read())
        for match in LINK.finditer(text):
            target = match.group(1) or match.group(2)
            if re.match(r"[a-z]+:", target):
                continue
            path, _, anchor = target.partition("#")
            path = os.path.normpath(os.path.join(os.path.dirname(source), path)) if path else source
            if not os.path.exists(path):
                broken.append(f"{source}: {target}: no such file")
            elif anchor and path.endswith(".md") and anchor not in anchors(path):
                broken.append(f"{source}: {target}: no such heading")
    for line in broken:
        print(f"FAIL: {line}")
    print(f"links: {len(files)} Markdown files, {len(broken)} broken links")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
