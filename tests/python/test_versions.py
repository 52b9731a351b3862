"""Two versions, told apart: the distribution's, which moves with every change
of answer bytes and names a section of CHANGELOG.md, and the proof format's
"0.2.0", which every proof, the module and the "version" command carry."""

import datetime
import importlib.metadata
import json
import pathlib
import re
import tomllib

import fendro_proof
from fendro_proof import Prover

ROOT = pathlib.Path(__file__).resolve().parents[2]
ENGINE = "0.2.0"
SECTION = re.compile(r"^## \[(\d+)\.(\d+)\.(\d+)\] - (\d{4}-\d{2}-\d{2})$", re.M)


def pyproject_version():
    with open(ROOT / "pyproject.toml", "rb") as f:
        return tomllib.load(f)["project"]["version"]


def changelog_sections():
    """(version tuple, date) of each section, in the order the file has them."""
    text = (ROOT / "CHANGELOG.md").read_text(encoding="utf-8")
    return [((int(a), int(b), int(c)), datetime.date.fromisoformat(d))
            for a, b, c, d in SECTION.findall(text)]


def dotted(version):
    return ".".join(map(str, version))


def test_the_installed_distribution_is_the_tree_and_its_newest_section():
    newest = dotted(changelog_sections()[0][0])
    assert pyproject_version() == newest
    # A stale install (built from another tree) fails here, not later.
    assert importlib.metadata.version("fendro_proof") == newest


def test_sections_are_newest_first_and_each_version_is_told_once():
    sections = changelog_sections()
    assert len(sections) >= 4
    versions = [v for v, _ in sections]
    dates = [d for _, d in sections]
    assert versions == sorted(versions, reverse=True)
    assert len(set(versions)) == len(versions)
    assert dates == sorted(dates, reverse=True)
    # The baseline every later section is measured against.
    assert versions[-1] == (0, 2, 0)


def test_the_proof_format_keeps_its_version_text(prover, spec, data):
    assert fendro_proof.__version__ == ENGINE
    assert Prover.version() == ENGINE
    assert json.loads(prover.command('{"cmd":"version"}')) == {
        "engine_version": ENGINE, "version": ENGINE}
    proof = json.loads(prover.command(json.dumps({"cmd": "prove", "spec": spec, "data": data})))
    assert proof["engine_version"] == ENGINE
    # The distribution's version is not the proof format's.
    assert importlib.metadata.version("fendro_proof") != ENGINE
