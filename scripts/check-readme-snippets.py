#!/usr/bin/env python3
"""Checks that the C++ snippets of the README's "Using the library" section are copies of
the quickstart programs, so that they compile: each paragraph of a snippet (lines between
blank lines) must appear, line by line in the same order, in one quickstart file.
Leading and trailing blanks do not count; other lines may stand between them in the file.
Usage: check-readme-snippets.py README.md examples/quickstart"""
import pathlib
import re
import sys


def snippet_paragraphs(readme):
    section = re.search(r"^## Using the library\n(.*?)(?=^## )", readme, re.S | re.M)
    if not section:
        sys.exit("README: no 'Using the library' section")
    paragraphs = []
    for block in re.findall(r"^```cpp\n(.*?)^```", section.group(1), re.S | re.M):
        for paragraph in re.split(r"\n\s*\n", block):
            lines = [line.strip() for line in paragraph.splitlines() if line.strip()]
            if lines:
                paragraphs.append(lines)
    return paragraphs


def appears_in_order(lines, file_lines):
    position = 0
    for line in lines:
        try:
            position = file_lines.index(line, position) + 1
        except ValueError:
            return False
    return True


def main():
    readme = pathlib.Path(sys.argv[1]).read_text(encoding="utf-8")
    sources = {
        path.name: [line.strip() for line in path.read_text(encoding="utf-8").splitlines()]
        for path in sorted(pathlib.Path(sys.argv[2]).glob("*.cpp"))
    }
    paragraphs = snippet_paragraphs(readme)
    if not paragraphs:
        sys.exit("README: the 'Using the library' section has no C++ snippet")
    missing = [p for p in paragraphs if not any(appears_in_order(p, f) for f in sources.values())]
    for paragraph in missing:
        print("README snippet not found in any quickstart program:\n    " + "\n    ".join(paragraph))
    if missing:
        return 1
    print(f"{len(paragraphs)} README snippet paragraphs found in {len(sources)} quickstart programs")
    return 0


if __name__ == "__main__":
    sys.exit(main())
