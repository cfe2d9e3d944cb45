#!/usr/bin/python3
"""Fails when a script of the build, the tests or the run calls a command that neither comes with
a package tools/install-deps.sh installs (or one those depend on) nor with an essential package:
such a command is only there on machines where someone installed it by hand."""
import json
import os
import re
import subprocess
import sys

REPO = os.path.dirname(os.path.dirname(os.path.realpath(__file__)))
SCRIPTS = ["Makefile", ".ci/*", "tools/*.sh", "tests/*.sh", "*CMakeLists.txt"]
# What this check runs itself.
OWN_COMMANDS = {"python3", "git", "shfmt", "bash", "apt-cache", "dpkg-query"}
# Commands that run the command after them, with how many arguments of their own come first
# ("timeout 5 ffmpeg", "with-wine.sh BUILD ctest").
WRAPPERS = {"sudo": 0, "exec": 0, "command": 0, "nice": 0, "env": 0, "time": 0, "xargs": 0,
            "timeout": 1, "with-wine.sh": 1}


def run(*command, stdin=None, check=True):
    return subprocess.run(command, input=stdin, capture_output=True, text=True, cwd=REPO,
                          check=check).stdout


def literal(word):
    """A shell word's text when it is fixed, None when it expands to something."""
    text = ""
    for part in word["Parts"]:
        if part["Type"] == "Lit" or part["Type"] == "SglQuoted":
            text += part["Value"]
        elif part["Type"] == "DblQuoted" and all(p["Type"] == "Lit" for p in part["Parts"]):
            text += "".join(p["Value"] for p in part["Parts"])
        else:
            return None
    return text


def command_name(args):
    """The command a simple command runs. Wrappers, their options and words that expand (an
    empty or a wrapping `$sudo`) are looked through to the command after them."""
    words = iter(args)
    for word in words:
        text = literal(word)
        if text is None or text.startswith("-"):
            continue
        if os.path.basename(text) in WRAPPERS:
            for _ in range(WRAPPERS[os.path.basename(text)]):
                next(words, None)
            continue
        return text
    return None


def shell_commands(source):
    """The names of every simple command in a shell text, found in shfmt's syntax tree: in
    pipelines, lists, functions, substitutions and here-documents alike."""
    found = set()
    pending = [json.loads(run("shfmt", "--language-dialect", "bash", "--to-json", stdin=source))]
    while pending:
        node = pending.pop()
        if isinstance(node, list):
            pending.extend(node)
        elif isinstance(node, dict):
            if node.get("Type") == "CallExpr" and node.get("Args"):
                found.add(command_name(node["Args"]))
            pending.extend(node.values())
    return found


def makefile_commands(text):
    """The commands of the recipes: make's own variables stand as plain words."""
    recipes = [line[1:].lstrip("@-+") for line in text.splitlines() if line.startswith("\t")]
    shell = re.sub(r"\$\((\w+)\)", r"\1", "\n".join(recipes)).replace("$$", "$")
    return shell_commands(shell)


def cmake_commands(text):
    """What custom commands and tests run: the word after COMMAND."""
    return set(re.findall(r"COMMAND +([A-Za-z][\w.+-]*)", text))


def used_commands():
    words = set(OWN_COMMANDS)
    for path in run("git", "ls-files", *SCRIPTS).split():
        with open(os.path.join(REPO, path), encoding="utf-8") as file:
            text = file.read()
        if path.endswith("CMakeLists.txt"):
            words |= cmake_commands(text)
        elif path == "Makefile":
            words |= makefile_commands(text)
        else:
            words |= shell_commands(text)
    builtins = set(run("bash", "-c", "compgen -b -k").split())
    return {w for w in words if w and re.fullmatch(r"[A-Za-z][\w.+-]*", w) and w not in builtins}


def installed_closure():
    """The packages the install script names, with everything they depend on, and the essential
    packages every Debian system has."""
    listed = run("tools/install-deps.sh", "--list").split()
    tree = run("apt-cache", "depends", "--recurse", "--installed", "--no-recommends",
               "--no-suggests", "--no-conflicts", "--no-breaks", "--no-replaces",
               "--no-enhances", *listed)
    # Every package the recursion reaches heads a block of its own, unindented.
    closure = {line.split(":")[0] for line in tree.splitlines() if re.match(r"[a-z0-9]", line)}
    for line in run("dpkg-query", "-W", "-f=${Package} ${Essential}\n").splitlines():
        package, _, essential = line.partition(" ")
        if essential == "yes":
            closure.add(package)
    return closure


def owners(paths):
    """The packages owning each of the paths; dpkg knows a file by the path it was installed
    at, which a merged /usr or a link may hide."""
    candidates = {path: [path, path.removeprefix("/usr"), os.path.realpath(path)] for path in paths}
    # Paths no package owns make it fail; the owned ones are listed all the same.
    listing = run("dpkg-query", "-S", *{c for group in candidates.values() for c in group},
                  check=False)
    owned = {}
    for line in listing.splitlines():
        if line.startswith("diversion"):
            continue
        packages, _, path = line.rpartition(": ")
        owned[path] = [p.strip().split(":")[0] for p in packages.split(",")]
    return {path: next((owned[c] for c in group if c in owned), []) for path, group in
            candidates.items()}


def copies_on_path(word):
    for folder in os.environ["PATH"].split(os.pathsep):
        path = os.path.join(folder, word)
        if os.path.isfile(path) and os.access(path, os.X_OK):
            yield path


def provider(word, owned):
    """Where a command on the PATH comes from: the first copy a package owns, with its packages,
    past local stand-ins (pyenv's python3); None for a command this repository brings."""
    where = None
    for path in copies_on_path(word):
        if os.path.realpath(path).startswith(REPO + os.sep):
            return None
        where = path
        if owned[path]:
            break
    return (where, owned[where]) if where else None


def main():
    words = sorted(used_commands())
    owned = owners({path for word in words for path in copies_on_path(word)})
    closure = installed_closure()
    missing = 0
    for word in words:
        found = provider(word, owned)
        if found and not any(package in closure for package in found[1]):
            where, packages = found
            print(f"check-deps: '{word}' ({where}, from {', '.join(packages) or 'no package'})"
                  " is not installed by tools/install-deps.sh", file=sys.stderr)
            missing += 1
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
