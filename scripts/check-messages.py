#!/usr/bin/env python3
"""Checks the message catalogues against the code that uses them.

Every key the code names (Message("area.name"), MessageCp932, MessageIn) must be in both catalogues
(translations/tessarine_ja.ts and tessarine_en.ts), every catalogue entry must be used, both languages must
have the same places (%1, %2, ...), no text may be empty or unfinished, and the Japanese texts use full-width
punctuation (no ASCII full stop at the end, no ", " or ". " inside). Keys are string literals, so that this
check sees them all. Prints one line per problem and exits with 1 if there is any.
"""
import pathlib
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

ROOT = pathlib.Path(__file__).resolve().parent.parent
CODE_FOLDERS = ("app", "worksheet", "preview", "preview_window", "printer_settings", "platform")
# A call of the catalogue (not a member such as result.Message(), not a declaration without arguments).
CALL = re.compile(r"(?:(?<=tess::)|(?<![\w.>:]))Message(?:Cp932|In)?\((?=\s*[^)\s])")
KEYED_CALL = re.compile(r'Message(?:Cp932|In)?\(\s*(?:(?:tess::)?(?:TLanguage::\w+|LocaleLanguage\(\))\s*,\s*)?'
                        r'"([a-z0-9-]+\.[a-z0-9-]+)"')
PLACE = re.compile(r"%[1-9]")
# Texts that quote command syntax ("--help, --version") keep its ASCII punctuation.
SYNTAX = {"cli.usage"}


def catalogue(language):
    path = ROOT / "translations" / f"tessarine_{language}.ts"
    texts, problems = {}, []
    for context in ElementTree.parse(path).getroot().iter("context"):
        area = context.findtext("name")
        for message in context.iter("message"):
            key = f"{area}.{message.findtext('source')}"
            translation = message.find("translation")
            text = translation.text if translation is not None else None
            if key in texts:
                problems.append(f"{path.name}: {key} is there twice")
            if not text or (translation is not None and translation.get("type") in ("unfinished", "obsolete")):
                problems.append(f"{path.name}: {key} has no finished text")
            texts[key] = text or ""
    return texts, problems


def used_keys():
    files = subprocess.run(["git", "ls-files", "--", *[f"{folder}/*.cpp" for folder in CODE_FOLDERS],
                            *[f"{folder}/*.h" for folder in CODE_FOLDERS]], cwd=ROOT, capture_output=True,
                           text=True, check=True).stdout.split()
    keys, problems = {}, []
    for name in files:
        if name.startswith("platform/core/Messages."):
            continue
        text = (ROOT / name).read_text(encoding="utf-8")
        for match in CALL.finditer(text):
            line = text.count("\n", 0, match.start()) + 1
            keyed = KEYED_CALL.match(text, match.start())
            if keyed is None:
                problems.append(f"{name}:{line}: a message key must be a string literal \"area.name\"")
            else:
                keys.setdefault(keyed.group(1), f"{name}:{line}")
    return keys, problems


def main():
    japanese, problems = catalogue("ja")
    english, more = catalogue("en")
    problems += more
    keys, more = used_keys()
    problems += more
    for key, where in sorted(keys.items()):
        for language, texts in (("ja", japanese), ("en", english)):
            if key not in texts:
                problems.append(f"{where}: {key} is not in tessarine_{language}.ts")
    for key in sorted(set(japanese) | set(english)):
        if key not in keys:
            problems.append(f"translations: {key} is used nowhere in the code")
        if key in japanese and key in english:
            if sorted(set(PLACE.findall(japanese[key]))) != sorted(set(PLACE.findall(english[key]))):
                problems.append(f"translations: {key} has other places (%1 ...) in Japanese than in English")
        text = japanese.get(key, "")
        if key not in SYNTAX and (text.rstrip().endswith(".") or ", " in text or re.search(r"[^.]\. ", text)):
            problems.append(f"tessarine_ja.ts: {key} uses ASCII punctuation; write ， and ．")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
