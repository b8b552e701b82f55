#!/usr/bin/env python3
"""Checks that includes between folders point down the layer order.

    check_layers.py [--list] [--layers FILE] [ROOT]

The order comes from cmake/layers.txt below ROOT (or --layers): one layer a
line, the lowest first. A file belongs to the layer whose folder is the
longest one holding it, and may include files of its own layer and of the
layers listed before it, except those its line names after a "!" (a folder
and everything under it). "allow FILE INCLUDED" lines let one include through
while the code that needs it is being moved; "unlayered FOLDER" lines name
the folders that sit on top of every layer and are not checked (tests, tools).
Any other folder with code fails the check until it is given a place.

--list prints every include arrow between folders with how many files draw
it. The exit code is 1 when an include goes the wrong way.
"""
import os
import re
import subprocess
import sys

SOURCE_ENDINGS = ('.h', '.hpp', '.cpp', '.cc', '.c', '.h.in')
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def read_layers(path):
    layers, forbidden, allowed, unlayered = [], {}, set(), []
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            words = line.split('#', 1)[0].split()
            if not words:
                continue
            if words[0] == 'allow':
                if len(words) != 3:
                    raise SystemExit(f'{path}:{number}: "allow" takes a file and the file it includes')
                allowed.add((words[1], words[2]))
            elif words[0] == 'unlayered':
                unlayered.extend(w.rstrip('/') for w in words[1:])
            else:
                folder = words[0].rstrip('/')
                if folder in forbidden:
                    raise SystemExit(f'{path}:{number}: {folder} is listed twice')
                layers.append(folder)
                forbidden[folder] = [w[1:].rstrip('/') for w in words[1:] if w.startswith('!')]
    return layers, forbidden, allowed, unlayered


def under(path, folder):
    return path == folder or path.startswith(folder + '/')


def layer_of(path, layers):
    best = None
    for folder in layers:
        if under(path, folder) and (best is None or len(folder) > len(best)):
            best = folder
    return best


def source_files(root):
    # In a checkout, the files git knows or would add: build folders anywhere
    # in the tree are ignored there. Elsewhere, every file but build* folders.
    try:
        listed = subprocess.run(['git', '-C', root, 'ls-files', '-co', '--exclude-standard', '-z'],
                                capture_output=True, check=True).stdout
        yield from sorted(p for p in listed.decode('utf-8', 'replace').split('\0')
                          if p.endswith(SOURCE_ENDINGS) and os.path.isfile(os.path.join(root, p)))
        return
    except (OSError, subprocess.CalledProcessError):
        pass
    for top, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if not d.startswith('.') and not d.startswith('build'))
        for name in sorted(files):
            if name.endswith(SOURCE_ENDINGS):
                yield os.path.relpath(os.path.join(top, name), root).replace(os.sep, '/')


def resolve(root, including, name):
    """The repository path an include names, or None for one outside the tree."""
    for candidate in (name, os.path.join(os.path.dirname(including), name)):
        candidate = os.path.normpath(candidate).replace(os.sep, '/')
        if not candidate.startswith('../') and os.path.isfile(os.path.join(root, candidate)):
            return candidate
    return None


def check(root, layers_file):
    layers, forbidden, allowed, unlayered = read_layers(layers_file)
    order = {folder: i for i, folder in enumerate(layers)}
    arrows, errors, used = {}, [], set()
    for path in source_files(root):
        if any(under(path, folder) for folder in unlayered):
            continue
        own = layer_of(path, layers)
        if own is None:
            errors.append(f'{path}: its folder is in no layer (add it to {os.path.relpath(layers_file, root)})')
            continue
        with open(os.path.join(root, path), encoding='utf-8', errors='replace') as f:
            for number, line in enumerate(f, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = resolve(root, path, match.group(1))
                if target is None:
                    continue
                other = layer_of(target, layers)
                if other == own:
                    continue
                arrows.setdefault((own, other or target), set()).add(path)
                if (path, target) in allowed:
                    used.add((path, target))
                    continue
                if other is None:
                    errors.append(f'{path}:{number}: includes {target}, which is in no layer')
                elif order[other] > order[own]:
                    errors.append(f'{path}:{number}: includes {target}: {own} sits below {other}')
                elif any(under(other, banned) for banned in forbidden[own]):
                    errors.append(f'{path}:{number}: includes {target}: {own} may not use {other}')
    # Not an error: the move that ends an exception should not fail the build.
    for path, target in sorted(allowed - used):
        print(f'note: "allow {path} {target}" is no longer needed', file=sys.stderr)
    return arrows, errors


def main(argv):
    args = list(argv)
    listing = '--list' in args
    if listing:
        args.remove('--list')
    layers_file = None
    if '--layers' in args:
        i = args.index('--layers')
        layers_file = args[i + 1]
        del args[i:i + 2]
    root = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), '..', '..'))
    layers_file = layers_file or os.path.join(root, 'cmake', 'layers.txt')
    arrows, errors = check(root, layers_file)
    if listing:
        for (own, other), files in sorted(arrows.items()):
            print(f'{own} -> {other} ({len(files)})')
    for error in errors:
        print(error, file=sys.stderr)
    if errors:
        print(f'{len(errors)} include(s) against the layer order in {layers_file}', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
