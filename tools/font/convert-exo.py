#!/usr/bin/python3
"""Makes Exo-Medium.ttf from the npm package @fontsource/exo.

The package ships the weight as web fonts split by script. The Latin part
covers English and Spanish; the Latin Extended glyphs are merged in so that
names in other European languages still draw in the same face. The result
is a plain TrueType file that Qt registers with addApplicationFont.

    npm pack @fontsource/exo
    tools/font/convert-exo.py fontsource-exo-*.tgz modules/font

Needs Debian's python3-fonttools and python3-brotli (for WOFF2).
"""
import io
import pathlib
import sys
import tarfile

from fontTools.ttLib import TTFont

WEIGHT = "500"
SUBSETS = ("latin", "latin-ext")


def read_package(tgz):
    """Returns {member name: bytes} for the fonts and the licence."""
    wanted = {f"package/files/exo-{s}-{WEIGHT}-normal.woff2" for s in SUBSETS}
    wanted.add("package/LICENSE")
    found = {}
    with tarfile.open(tgz, "r:gz") as archive:
        for member in archive.getmembers():
            if member.isfile() and member.name in wanted:
                found[member.name] = archive.extractfile(member).read()
    missing = wanted - found.keys()
    if missing:
        sys.exit(f"{tgz}: missing {', '.join(sorted(missing))}")
    return found


def merge_into(base, extra):
    """Adds the glyphs and code points of `extra` that `base` lacks.

    Both are subsets of one font, so a glyph name means the same outline in
    each; composite glyphs keep working because their components are either
    already in `base` or copied with them. Kerning and ligatures stay those
    of the base subset."""
    order = list(base.getGlyphOrder())
    known = set(order)
    glyf, hmtx = base["glyf"], base["hmtx"]
    extra_glyf, extra_hmtx = extra["glyf"], extra["hmtx"]
    for name in extra.getGlyphOrder():
        if name in known:
            continue
        glyf[name] = extra_glyf[name]
        hmtx[name] = extra_hmtx[name]
        order.append(name)
        known.add(name)
    base.setGlyphOrder(order)
    glyf.glyphOrder = order
    extra_cmap = extra.getBestCmap()
    for table in base["cmap"].tables:
        if table.isUnicode():
            for code, name in extra_cmap.items():
                if code <= 0xFFFF or table.format == 12:
                    table.cmap.setdefault(code, name)
    # The post table names the glyphs; format 2 keeps the new ones.
    base["post"].formatType = 2.0
    base["post"].extraNames = []
    base["post"].mapping = {}


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    tgz, out_dir = sys.argv[1], pathlib.Path(sys.argv[2])
    files = read_package(tgz)
    fonts = [
        TTFont(io.BytesIO(files[f"package/files/exo-{s}-{WEIGHT}-normal.woff2"]))
        for s in SUBSETS
    ]
    base = fonts[0]
    for extra in fonts[1:]:
        merge_into(base, extra)
    base.flavor = None
    out_dir.mkdir(parents=True, exist_ok=True)
    base.save(out_dir / "Exo-Medium.ttf")
    (out_dir / "OFL.txt").write_bytes(files["package/LICENSE"])


if __name__ == "__main__":
    main()
