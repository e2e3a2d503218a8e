"""Writes the hand-made ligand models of this directory (see README.md).

Every model is flat where its chemistry is flat: the heavy atoms lie in the
plane z = 0 and are placed by a least-squares fit of the target bond lengths
and of the 1-3 distances that the target angles give; sp3 hydrogens leave the
plane at tetrahedral angles.  Run with python3 from this directory.
"""
import math

# ---------------------------------------------------------------- geometry


def fit(atoms, bonds, angles, start, rounds=60000, step=0.01):
    """2-D positions of `atoms` (names) meeting the bond lengths
    {(a, b): d} and the angles {(a, v, b): degrees} by gradient descent
    from `start` {name: (x, y)}."""
    pos = {a: list(start[a]) for a in atoms}
    targets = []
    for (a, b), d in bonds.items():
        targets.append((a, b, d, 10.0))
    for (a, v, b), ang in angles.items():
        da = bonds.get((a, v), bonds.get((v, a)))
        db = bonds.get((b, v), bonds.get((v, b)))
        d13 = math.sqrt(da * da + db * db - 2 * da * db * math.cos(math.radians(ang)))
        targets.append((a, b, d13, 1.0))
    for _ in range(rounds):
        grad = {a: [0.0, 0.0] for a in atoms}
        for a, b, d, w in targets:
            dx = pos[a][0] - pos[b][0]
            dy = pos[a][1] - pos[b][1]
            r = math.hypot(dx, dy)
            g = w * (r - d) / r
            grad[a][0] += g * dx
            grad[a][1] += g * dy
            grad[b][0] -= g * dx
            grad[b][1] -= g * dy
        for a in atoms:
            pos[a][0] -= step * grad[a][0]
            pos[a][1] -= step * grad[a][1]
    return {a: (p[0], p[1], 0.0) for a, p in pos.items()}


def sub(u, v):
    return [u[i] - v[i] for i in range(3)]


def add(u, v):
    return [u[i] + v[i] for i in range(3)]


def scale(u, s):
    return [c * s for c in u]


def unit(u):
    n = math.sqrt(sum(c * c for c in u))
    return [c / n for c in u]


def cross(u, v):
    return [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]]


def trigonal_h(pos, at, n1, n2, d):
    """A hydrogen on the trigonal atom `at`, in the plane, opposite the
    bisector of its two neighbours."""
    u = add(unit(sub(pos[at], pos[n1])), unit(sub(pos[at], pos[n2])))
    return add(pos[at], scale(unit(u), d))


def methyl_h(pos, at, parent, ref, d):
    """Three hydrogens on the sp3 atom `at` bound to `parent`, staggered,
    the first anti to `ref` (a neighbour of `parent`)."""
    u = unit(sub(pos[at], pos[parent]))
    r = sub(pos[ref], pos[parent])
    w = unit(cross(u, r))
    v = cross(w, u)
    out = []
    for k in range(3):
        phi = math.radians(180.0 + 120.0 * k)
        dirn = add(scale(u, math.cos(math.radians(70.53))),
                   scale(add(scale(v, math.cos(phi)), scale(w, math.sin(phi))),
                         math.sin(math.radians(70.53))))
        out.append(add(pos[at], scale(dirn, d)))
    return out


def methylene_h(pos, at, n1, n2, d):
    """Two hydrogens on the sp3 atom `at` of the plane, bound to `n1` and
    `n2`, above and below the plane at tetrahedral angles."""
    u = unit(add(unit(sub(pos[at], pos[n1])), unit(sub(pos[at], pos[n2]))))
    w = [0.0, 0.0, 1.0]
    half = math.radians(109.47 / 2)
    return [add(pos[at], scale(add(scale(u, math.cos(half)), scale(w, s * math.sin(half))), d))
            for s in (1.0, -1.0)]


def hydroxyl_h(pos, at, parent, ref, d, angle):
    """A hydrogen on the two-connected atom `at` bound to `parent`, in the
    plane at `angle` degrees, anti to `ref` (a neighbour of `parent`)."""
    u = unit(sub(pos[at], pos[parent]))
    r = sub(pos[ref], pos[parent])
    along = sum(r[i] * u[i] for i in range(3))
    v = unit(sub(scale(u, along), r))
    t = math.radians(180.0 - angle)
    return add(pos[at], scale(add(scale(u, math.cos(t)), scale(v, math.sin(t))), d))


def write(path, rows):
    """rows: (name, residue, element, (x, y, z)), shifted by 10 A on each axis."""
    with open(path, "w") as f:
        f.write("CRYST1   40.000   40.000   40.000  90.00  90.00  90.00 P 1           1\n")
        for i, (name, res, elem, p) in enumerate(rows, 1):
            shown = name if len(name) == 4 else " " + name
            f.write("HETATM%5d %-4s %3s A   1    %8.3f%8.3f%8.3f  1.00 20.00          %2s\n"
                    % (i, shown, res, p[0] + 10.0, p[1] + 10.0, p[2] + 10.0, elem))
        f.write("END\n")


def regular(names, centre, radius, phase):
    n = len(names)
    return {a: (centre[0] + radius * math.cos(phase + 2 * math.pi * k / n),
                centre[1] + radius * math.sin(phase + 2 * math.pi * k / n)) for k, a in enumerate(names)}

# ---------------------------------------------------------------- enaminone
# CH3-NH-CH=CH-C(=O)-CH3 with the four lengths of the ligand as a docking
# tool ships it; the rest from the survey tables (README.md).


def enaminone(with_h):
    bonds = {("C1", "N2"): 1.454, ("N2", "C10"): 1.393, ("C10", "C11"): 1.354,
             ("C11", "C12"): 1.487, ("C12", "O1"): 1.232, ("C12", "C13"): 1.503}
    angles = {("C1", "N2", "C10"): 122.0, ("N2", "C10", "C11"): 123.0,
              ("C10", "C11", "C12"): 121.0, ("C11", "C12", "O1"): 122.0,
              ("C11", "C12", "C13"): 117.0, ("O1", "C12", "C13"): 121.0}
    atoms = ["C1", "N2", "C10", "C11", "C12", "O1", "C13"]
    start = {"C1": (0, 0), "N2": (1.2, 0.7), "C10": (2.4, 0), "C11": (3.6, 0.7),
             "C12": (4.8, 0), "O1": (4.8, -1.2), "C13": (6.0, 0.7)}
    pos = fit(atoms, bonds, angles, start)
    rows = [(a, "ENM" if with_h else "ENX", a[0], pos[a]) for a in atoms]
    if with_h:
        rows.append(("H7", "ENM", "H", trigonal_h(pos, "N2", "C1", "C10", 1.01)))
        rows.append(("H10", "ENM", "H", trigonal_h(pos, "C10", "N2", "C11", 1.08)))
        rows.append(("H11", "ENM", "H", trigonal_h(pos, "C11", "C10", "C12", 1.08)))
        for k, h in enumerate(methyl_h(pos, "C1", "N2", "C10", 1.09)):
            rows.append(("H1" + "ABC"[k], "ENM", "H", h))
        for k, h in enumerate(methyl_h(pos, "C13", "C12", "C11", 1.09)):
            rows.append(("H13" + "ABC"[k], "ENM", "H", h))
    return rows

# ------------------------------------------------------------ thioenaminone
# The iminothiol form of a thio-enaminone, CH3-N=CH-CH=C(SH)-CH3, whose only
# hydrogen is the one on its sulfur, at the S-H length of the tables.


def thioenaminone():
    bonds = {("C1", "N2"): 1.465, ("N2", "C10"): 1.279, ("C10", "C11"): 1.455,
             ("C11", "C12"): 1.340, ("C12", "S1"): 1.751, ("C12", "C13"): 1.503}
    angles = {("C1", "N2", "C10"): 118.0, ("N2", "C10", "C11"): 122.0,
              ("C10", "C11", "C12"): 123.0, ("C11", "C12", "S1"): 122.0,
              ("C11", "C12", "C13"): 124.0, ("S1", "C12", "C13"): 114.0}
    atoms = ["C1", "N2", "C10", "C11", "C12", "S1", "C13"]
    start = {"C1": (0, 0), "N2": (1.2, 0.7), "C10": (2.4, 0), "C11": (3.6, 0.7),
             "C12": (4.8, 0), "S1": (4.8, -1.6), "C13": (6.0, 0.7)}
    pos = fit(atoms, bonds, angles, start)
    rows = [(a, "ESH", a[0], pos[a]) for a in atoms]
    rows.append(("HS1", "ESH", "H", hydroxyl_h(pos, "S1", "C12", "C13", 1.34, 96.0)))
    return rows

# -------------------------------------------------- furo[2,3-d]pyrimidine
# 5-methylfuro[2,3-d]pyrimidin-4-amine, without hydrogens as a crystal
# model gives it.


def furopyrimidine():
    bonds = {("N1", "C2"): 1.337, ("C2", "N3"): 1.337, ("N3", "C4"): 1.346,
             ("C4", "C4A"): 1.410, ("C4A", "C7A"): 1.386, ("C7A", "N1"): 1.326,
             ("C7A", "O7"): 1.368, ("O7", "C6"): 1.380, ("C6", "C5"): 1.345,
             ("C5", "C4A"): 1.436, ("C4", "N4"): 1.341, ("C5", "C8"): 1.496}
    angles = {}
    six = ["N1", "C2", "N3", "C4", "C4A", "C7A"]
    five = ["C7A", "O7", "C6", "C5", "C4A"]
    for ring, inner in ((six, 120.0), (five, 108.0)):
        n = len(ring)
        for k in range(n):
            angles[(ring[k - 1], ring[k], ring[(k + 1) % n])] = inner
    # Exocyclic angles share out what the ring angles leave.
    angles[("N3", "C4", "N4")] = 120.0
    angles[("C4A", "C4", "N4")] = 120.0
    angles[("C6", "C5", "C8")] = 126.0
    angles[("C4A", "C5", "C8")] = 126.0
    # At the fusion atoms the outer angles close the 360 degrees.
    angles[("N1", "C7A", "O7")] = 360.0 - 120.0 - 108.0
    angles[("C4", "C4A", "C5")] = 360.0 - 120.0 - 108.0
    start = dict(regular(six, (0.0, 0.0), 1.39, math.radians(90)))
    # The five-ring outward of the fusion bond C4A-C7A, then the substituents
    # outward of their ring atoms.
    mid = [(start["C4A"][i] + start["C7A"][i]) / 2 for i in range(2)]
    out = unit([mid[0], mid[1], 0.0])
    along = unit(sub(list(start["C4A"]) + [0.0], list(start["C7A"]) + [0.0]))
    start["C5"] = (mid[0] + 1.12 * out[0] + 1.10 * along[0], mid[1] + 1.12 * out[1] + 1.10 * along[1])
    start["O7"] = (mid[0] + 1.12 * out[0] - 1.10 * along[0], mid[1] + 1.12 * out[1] - 1.10 * along[1])
    start["C6"] = (mid[0] + 1.85 * out[0], mid[1] + 1.85 * out[1])
    for a, at in (("N4", "C4"), ("C8", "C5")):
        p = start[at]
        r = math.hypot(p[0], p[1])
        start[a] = (p[0] * (r + 1.35) / r, p[1] * (r + 1.35) / r)
    atoms = six + ["C5", "C6", "O7", "N4", "C8"]
    pos = fit(atoms, bonds, angles, start)
    return [(a, "FPY", a[0], pos[a]) for a in atoms]

# ------------------------------------------------------------- thiazolium
# 3-ethyl-5-(2-hydroxyethyl)-4-methylthiazolium, without hydrogens.


def thiazolium():
    bonds = {("S1", "C2"): 1.675, ("C2", "N3"): 1.318, ("N3", "C4"): 1.394,
             ("C4", "C5"): 1.356, ("C5", "S1"): 1.727, ("C4", "C4M"): 1.492,
             ("C5", "C5A"): 1.500, ("C5A", "C5B"): 1.520, ("C5B", "O5G"): 1.420,
             ("N3", "C7"): 1.482, ("C7", "C8"): 1.515}
    ring = ["S1", "C2", "N3", "C4", "C5"]
    inner = {"S1": 91.5, "C2": 112.0, "N3": 114.0, "C4": 111.5, "C5": 111.0}
    angles = {}
    for k in range(5):
        angles[(ring[k - 1], ring[k], ring[(k + 1) % 5])] = inner[ring[k]]
    for at, a, b, sub_ in (("N3", "C2", "C4", "C7"), ("C4", "N3", "C5", "C4M"),
                           ("C5", "C4", "S1", "C5A")):
        out = (360.0 - inner[at]) / 2
        angles[(a, at, sub_)] = out
        angles[(b, at, sub_)] = out
    angles[("N3", "C7", "C8")] = 111.0
    angles[("C5", "C5A", "C5B")] = 112.0
    angles[("C5A", "C5B", "O5G")] = 110.0
    start = dict(regular(ring, (0.0, 0.0), 1.25, math.radians(90)))
    start.update({"C4M": (-1.8, -2.4), "C5A": (1.8, -2.4), "C5B": (3.2, -1.9),
                  "O5G": (4.3, -2.8), "C7": (-2.9, 0.0), "C8": (-3.5, 1.4)})
    atoms = ring + ["C4M", "C5A", "C5B", "O5G", "C7", "C8"]
    pos = fit(atoms, bonds, angles, start)
    return [(a, "TZM", a[0], pos[a]) for a in atoms]

# ------------------------------------------------- hydroxyphenyl succinamate
# N-(4-hydroxyphenyl)succinamic acid: a phenol, a secondary amide and a
# carboxylic acid, with every hydrogen, with the hydrogens on O and N only
# (as a docking tool ships it), or without hydrogens.


def succinanilic(hydrogens):
    res = {"all": "HPS", "polar": "HPP", "none": "HPX"}[hydrogens]
    bonds = {("C1", "C2"): 1.387, ("C2", "C3"): 1.387, ("C3", "C4"): 1.387,
             ("C4", "C5"): 1.387, ("C5", "C6"): 1.387, ("C6", "C1"): 1.387,
             ("C4", "O4"): 1.362, ("C1", "N7"): 1.415, ("N7", "C8"): 1.346,
             ("C8", "O8"): 1.231, ("C8", "C9"): 1.516, ("C9", "C10"): 1.524,
             ("C10", "C11"): 1.502, ("C11", "O11"): 1.214, ("C11", "O12"): 1.308}
    ring = ["C1", "C2", "C3", "C4", "C5", "C6"]
    angles = {}
    for k in range(6):
        angles[(ring[k - 1], ring[k], ring[(k + 1) % 6])] = 120.0
    angles.update({("C2", "C1", "N7"): 120.0, ("C6", "C1", "N7"): 120.0,
                   ("C3", "C4", "O4"): 120.0, ("C5", "C4", "O4"): 120.0,
                   ("C1", "N7", "C8"): 128.0, ("N7", "C8", "O8"): 123.0,
                   ("N7", "C8", "C9"): 115.0, ("O8", "C8", "C9"): 122.0,
                   ("C8", "C9", "C10"): 112.0, ("C9", "C10", "C11"): 112.0,
                   ("C10", "C11", "O11"): 124.0, ("C10", "C11", "O12"): 112.0,
                   ("O11", "C11", "O12"): 124.0})
    start = dict(regular(ring, (0.0, 0.0), 1.39, 0.0))
    # A zig-zag along x; O8 below C8 (cis to C1: a trans amide).
    start.update({"O4": (-2.75, 0.0), "N7": (2.6, 0.7), "C8": (3.85, 0.0), "O8": (3.85, -1.2),
                  "C9": (5.1, 0.7), "C10": (6.35, 0.0), "C11": (7.6, 0.7), "O11": (7.6, 1.9),
                  "O12": (8.8, 0.0)})
    atoms = ring + ["O4", "N7", "C8", "O8", "C9", "C10", "C11", "O11", "O12"]
    pos = fit(atoms, bonds, angles, start)
    rows = [(a, res, a[0], pos[a]) for a in atoms]
    if hydrogens != "none":
        rows.append(("HO4", res, "H", hydroxyl_h(pos, "O4", "C4", "C3", 0.97, 109.5)))
        rows.append(("HN7", res, "H", trigonal_h(pos, "N7", "C1", "C8", 1.01)))
        # The acid's hydrogen syn to its C=O, anti to C10.
        rows.append(("HO12", res, "H", hydroxyl_h(pos, "O12", "C11", "C10", 0.97, 106.0)))
    if hydrogens == "all":
        for a, n1, n2 in (("C2", "C1", "C3"), ("C3", "C2", "C4"), ("C5", "C4", "C6"),
                          ("C6", "C5", "C1")):
            rows.append(("H" + a[1:], res, "H", trigonal_h(pos, a, n1, n2, 1.08)))
        for a, n1, n2 in (("C9", "C8", "C10"), ("C10", "C9", "C11")):
            for k, h in enumerate(methylene_h(pos, a, n1, n2, 1.09)):
                rows.append(("H" + a[1:] + "AB"[k], res, "H", h))
    return rows


if __name__ == "__main__":
    write("enaminone_h.pdb", enaminone(True))
    write("enaminone.pdb", enaminone(False))
    write("thioenaminone_sh.pdb", thioenaminone())
    write("furopyrimidine.pdb", furopyrimidine())
    write("thiazolium.pdb", thiazolium())
    for hydrogens in ("all", "polar", "none"):
        write("succinanilic_%s.pdb" % hydrogens, succinanilic(hydrogens))
    # The bonded pairs (all within 1.8 A) with their fitted lengths.
    for name, rows in (("enaminone_h", enaminone(True)), ("thioenaminone_sh", thioenaminone()),
                       ("furopyrimidine", furopyrimidine()),
                       ("thiazolium", thiazolium()),
                       ("succinanilic_all", succinanilic("all"))):
        print(name)
        names = [r[0] for r in rows]
        for i in range(len(rows)):
            for j in range(i + 1, len(rows)):
                d = math.dist(rows[i][3], rows[j][3])
                if d < 1.8:
                    print("  %-4s %-4s %.3f" % (names[i], names[j], d))
