#!/usr/bin/env python3
"""The folders of src/ are layers: a file includes headers of its own folder
or of a folder below it, never of one above it or beside it.

    include_layers.py            the include graph between the folders,
                                 the includes that break the layering and
                                 the largest files
    include_layers.py --dot      the same graph for Graphviz
    include_layers.py --check    only the includes that break the layering;
                                 exit 1 when there is one

An include without a folder ("resource.h") counts as one of the file's own
folder; system headers (<...>) are not looked at.
"""
import argparse
import collections
import pathlib
import re
import sys

# From the ground up. Folders on one line are side by side and may not
# include each other.
LAYERS = [
    ["support"],
    ["win"],
    ["download", "settings"],
    ["ui"],
    ["update"],
    ["app"],
]
LEVEL = {folder: level for level, folders in enumerate(LAYERS) for folder in folders}
SOURCE_SUFFIXES = {".h", ".cpp", ".rc", ".in"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def sources(src):
    for path in sorted(src.rglob("*")):
        if path.is_file() and path.suffix in SOURCE_SUFFIXES:
            yield path


def includes(src):
    """(including file, its folder, included folder, included name) for every quoted include."""
    for path in sources(src):
        folder = path.relative_to(src).parts[0]
        for line in path.read_text(encoding="utf-8", errors="replace").splitlines():
            match = INCLUDE.match(line)
            if match:
                name = match.group(1)
                target = name.split("/")[0] if "/" in name else folder
                yield path.relative_to(src.parent), folder, target, name


def breaks(folder, target):
    """Why an include from folder into target breaks the layering; None when it does not."""
    if folder == target:
        return None
    for name in (folder, target):
        if name not in LEVEL:
            return f"{name} is in no layer"
    if LEVEL[target] > LEVEL[folder]:
        return "upward"
    if LEVEL[target] == LEVEL[folder]:
        return "sideways"
    return None


def non_blank_lines(path):
    return sum(1 for line in path.read_text(encoding="utf-8", errors="replace").splitlines() if line.strip())


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--dot", action="store_true")
    parser.add_argument("--src", default=str(pathlib.Path(__file__).resolve().parent.parent / "src"))
    args = parser.parse_args()
    src = pathlib.Path(args.src)

    edges = collections.Counter()
    broken = []
    for path, folder, target, name in includes(src):
        if folder != target:
            edges[folder, target] += 1
        reason = breaks(folder, target)
        if reason:
            broken.append(f"{path}: #include \"{name}\" ({reason}: {folder} -> {target})")

    if args.dot:
        print("digraph includes {\n  rankdir=BT;")
        for level, folders in enumerate(LAYERS):
            print(f"  {{ rank=same; {'; '.join(folders)}; }}")
        for (folder, target), count in sorted(edges.items()):
            style = ', color=red' if breaks(folder, target) else ""
            print(f'  {folder} -> {target} [label="{count}"{style}];')
        print("}")
        return 0

    if not args.check:
        print("Layers, from the ground up:")
        for level, folders in enumerate(LAYERS):
            print(f"  {level}  {', '.join(folders)}")
        print("\nIncludes between folders (count):")
        for (folder, target), count in sorted(edges.items(), key=lambda e: (-LEVEL.get(e[0][0], -1), e[0][1])):
            print(f"  {folder:9} -> {target:9} {count:3}")
        print(f"\nIncludes that break the layering: {len(broken)}")
    for line in broken:
        print(f"  {line}")
    if not args.check:
        largest = sorted(((non_blank_lines(p), p.relative_to(src.parent)) for p in sources(src)), reverse=True)[:10]
        print("\nLargest files (non-blank lines):")
        for count, path in largest:
            print(f"  {count:5}  {path}")
        return 0
    if broken:
        print(f"{len(broken)} include(s) run up or sideways across the layers of src/ "
              "(tools/include_layers.py lists the layers)", file=sys.stderr)
        return 1
    print("Includes follow the layers of src/.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
