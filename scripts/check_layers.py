#!/usr/bin/env python3
"""Checks that the code keeps its layers, from the build's compile commands and the sources.

  check_layers.py SOURCE_DIR BUILD_DIR

- A core target (the platform, the link, the texts, and every domain's *_core target) is
  compiled without Qt Widgets: if one of them links Widgets, directly or through another
  target, its compile commands carry the Widgets include folder.
- The model is plain C++: its headers include the standard library and each other only.
- Nothing below the shell includes a shell header; only src/shell, src/app and src/cli may.
- A page never includes the page headers of another domain: pages meet through the page
  context, not through each other.
- A page never talks to the encoder: no source of a page target, and not the page context,
  includes the link; pages call their domain's procedures.
Prints every breach and exits 1 when there is one.
"""

import json
import pathlib
import re
import shlex
import sys

CORE_TARGETS = {"orvo_platform", "orvo_link", "orvo_text"}
DOMAINS = ("connection", "params", "config", "factory")
ABOVE_SHELL = ("shell", "app", "cli")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)


def target_of(entry):
    """The CMake target an entry of compile_commands.json compiles for."""
    output = entry.get("output")
    if output is None:
        words = shlex.split(entry["command"]) if "command" in entry else entry["arguments"]
        output = words[words.index("-o") + 1] if "-o" in words else ""
    match = re.search(r"CMakeFiles/([^/]+)\.dir/", output)
    return match.group(1) if match else None


def command_of(entry):
    return entry["command"] if "command" in entry else " ".join(entry["arguments"])


def is_core(target):
    return target in CORE_TARGETS or target.endswith("_core")


def main():
    source_dir = pathlib.Path(sys.argv[1]).resolve()
    build_dir = pathlib.Path(sys.argv[2]).resolve()
    src = source_dir / "src"
    breaches = []

    entries = json.loads((build_dir / "compile_commands.json").read_text())
    page_sources = {}  # domain -> stems of the sources its page target compiles
    core_seen = set()
    for entry in entries:
        target = target_of(entry)
        if target is None:
            continue
        file = pathlib.Path(entry["file"]).resolve()
        if is_core(target):
            core_seen.add(target)
            if "QtWidgets" in command_of(entry):
                breaches.append(f"{target} links Qt Widgets ({file.relative_to(source_dir)})")
        for domain in DOMAINS:
            if target == f"orvo_{domain}_page" and file.parent == src / domain:
                page_sources.setdefault(domain, set()).add(file.stem)
    for expected in CORE_TARGETS | {f"orvo_{d}_core" for d in ("connection", "params")}:
        if expected not in core_seen:
            breaches.append(f"{expected}: no compile commands found (was it renamed?)")

    page_headers = {
        f"{domain}/{stem}.h": domain for domain, stems in page_sources.items() for stem in stems
    }

    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        layer = path.relative_to(src).parts[0]
        text = path.read_text(encoding="utf-8")
        name = path.relative_to(source_dir)
        for kind, header in INCLUDE.findall(text):
            if layer == "model" and not (kind == "<" and not header.startswith("Q")) \
                    and not header.startswith("model/"):
                breaches.append(f"{name}: the model includes {header}")
            if header.startswith("shell/") and layer not in ABOVE_SHELL:
                breaches.append(f"{name}: below the shell, includes {header}")
            is_page = layer == "pages" or (layer in DOMAINS
                                           and path.stem in page_sources.get(layer, set()))
            if is_page and header == "link/link.h":
                breaches.append(f"{name}: a page includes the link ({header})")
            owner = page_headers.get(header)
            if owner is not None and layer in DOMAINS and layer != owner \
                    and path.stem in page_sources.get(layer, set()):
                breaches.append(f"{name}: a {layer} page includes the {owner} page {header}")

    for breach in breaches:
        print("layer breach:", breach)
    print(f"checked {len(entries)} compile commands; {len(breaches)} breaches")
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main())
