"""Every relative link of the README and docs/*.md reaches a file, and its
anchor, if any, a heading of that file as GitHub names headings."""

import pathlib
import re

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
PAGES = [ROOT / "README.md", ROOT / "CHANGELOG.md", *sorted((ROOT / "docs").glob("*.md"))]

FENCE = re.compile(r"^(```|~~~).*?^\1[ \t]*$", re.M | re.S)
LINK = re.compile(r"\[[^\]]*\]\(([^()\s]+)\)")
HEADING = re.compile(r"^#{1,6}[ \t]+(.+?)[ \t]*#*[ \t]*$", re.M)



def without_code_blocks(text):
    # Blank lines keep the line numbers of what follows.
    return FENCE.sub(lambda m: "\n" * m.group(0).count("\n"), text)


def slug(heading):
    """GitHub's anchor: lowercase, punctuation other than '-' and '_' dropped,
    each space a '-'."""
    return re.sub(r"[^\w\- ]", "", heading.strip().lower()).replace(" ", "-")


def anchors(page):
    seen, out = {}, set()
    for title in HEADING.findall(without_code_blocks(page.read_text(encoding="utf-8"))):
        base = slug(title)
        n = seen.get(base, 0)
        seen[base] = n + 1
        out.add(base if n == 0 else f"{base}-{n}")
    return out


def relative_links():
    for page in PAGES:
        text = without_code_blocks(page.read_text(encoding="utf-8"))
        for match in LINK.finditer(text):
            target = match.group(1)
            if re.match(r"[a-z][a-z0-9+.-]*:", target):  # http:, https:, mailto:
                continue
            line = text.count("\n", 0, match.start()) + 1
            source = page.relative_to(ROOT).as_posix()
            yield pytest.param(page, target, id=f"{source}:{line}:{target}")


def unreachable(page, target):
    """Why `target`, written in `page`, leads nowhere, or None."""
    path, _, anchor = target.partition("#")
    file = (page.parent / path).resolve() if path else page
    if not file.is_file():
        return f"no file {file}"
    if anchor and anchor not in anchors(file):
        return f"no heading with anchor #{anchor} in {file.name}"
    return None


@pytest.mark.parametrize("page, target", list(relative_links()))
def test_relative_link_resolves(page, target):
    assert unreachable(page, target) is None


@pytest.mark.parametrize("heading, anchor", [
    ("Commands", "commands"),
    ("`prove`", "prove"),
    ("When rules are evaluated: warm-up and lookback", "when-rules-are-evaluated-warm-up-and-lookback"),
    ("Fills, sizing and the account", "fills-sizing-and-the-account"),
    ("Where a prove's time goes", "where-a-proves-time-goes"),
    ("The benches' options", "the-benches-options"),
    ("snake_case stays", "snake_case-stays"),
])
def test_slug_follows_github(heading, anchor):
    assert slug(heading) == anchor


def test_checker_catches_missing_files_anchors_and_takes_repeats(tmp_path):
    (tmp_path / "a.md").write_text(
        "# A\n\n## Sizing\n\n```sh\n# not a heading\n```\n\n### Sizing\n\n[x](b.md#nowhere)\n")
    (tmp_path / "b.md").write_text("# B\n\n## Here\n")
    page = tmp_path / "a.md"
    assert anchors(page) == {"a", "sizing", "sizing-1"}
    assert unreachable(page, "#sizing-1") is None
    assert unreachable(page, "b.md#here") is None
    assert unreachable(page, "#not-a-heading").startswith("no heading")
    assert unreachable(page, "b.md#nowhere").startswith("no heading")
    assert unreachable(page, "c.md").startswith("no file")
