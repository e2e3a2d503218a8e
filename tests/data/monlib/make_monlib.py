#!/usr/bin/env python3
"""Writes the monomer descriptions, the index and the candidate pool of the
test library from the chemical components (public wwPDB Chemical Component
Dictionary subset) and from the hand-written list and energy files.

Run from this directory:  python3 make_monlib.py <components_subset.cif>
Every number it writes is computed from the components' ideal coordinates
(bond lengths, angles, torsions, chiral signs) or follows a rule stated in
README.md (energy types, trees, planes, esds).
"""
import math
import os
import sys

AMINO = ["ALA", "ARG", "ASN", "ASP", "CYS", "GLN", "GLU", "GLY", "HIS", "ILE",
         "LEU", "LYS", "MET", "PHE", "PRO", "SER", "THR", "TRP", "TYR", "VAL"]
# List order of the library: this is the order of list/mon_lib_list.cif.
ORDER = AMINO + ["A", "NAG", "HOH", "ZN", "CD"]
ONE = {"ALA": "A", "ARG": "R", "ASN": "N", "ASP": "D", "CYS": "C", "GLN": "Q",
       "GLU": "E", "GLY": "G", "HIS": "H", "ILE": "I", "LEU": "L", "LYS": "K",
       "MET": "M", "PHE": "F", "PRO": "P", "SER": "S", "THR": "T", "TRP": "W",
       "TYR": "Y", "VAL": "V", "A": "A", "NAG": ".", "HOH": ".", "ZN": ".", "CD": "."}
GROUP = {c: "L-peptide" for c in AMINO}
GROUP.update({"GLY": "peptide", "A": "RNA", "NAG": "D-pyranose", "HOH": "solvent",
              "ZN": "metal", "CD": "metal"})
FILE_PART = {"CD": "CD_EL"}
# Energy types of the peptide backbone inside a chain.
BACKBONE = {"N": "NH1", "CA": "CH1", "C": "C", "O": "O", "H": "HN"}


# ---------------------------------------------------------------- CIF input
def tokens(text):
    lines = text.split("\n")
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith(";"):
            buf = [line[1:]]
            i += 1
            while i < len(lines) and not lines[i].startswith(";"):
                buf.append(lines[i])
                i += 1
            i += 1
            yield "\n".join(buf)
            continue
        j = 0
        n = len(line)
        while j < n:
            c = line[j]
            if c.isspace():
                j += 1
                continue
            if c == "#":
                break
            if c in "'\"":
                k = j + 1
                while k < n and not (line[k] == c and (k + 1 == n or line[k + 1].isspace())):
                    k += 1
                yield line[j + 1:k]
                j = k + 1
                continue
            k = j
            while k < n and not line[k].isspace():
                k += 1
            yield line[j:k]
            j = k
        i += 1


def read_blocks(path):
    blocks = {}
    cur = None
    toks = list(tokens(open(path).read()))
    i = 0
    while i < len(toks):
        t = toks[i]
        if t.startswith("data_"):
            cur = blocks.setdefault(t[5:], {})
            i += 1
        elif t == "loop_":
            i += 1
            names = []
            while i < len(toks) and toks[i].startswith("_"):
                names.append(toks[i])
                i += 1
            rows = []
            while i < len(toks) and not toks[i].startswith("_") and toks[i] != "loop_" \
                    and not toks[i].startswith("data_"):
                rows.append(toks[i:i + len(names)])
                i += len(names)
            cat = names[0].split(".")[0]
            cur[cat] = [dict(zip([n.split(".")[1] for n in names], r)) for r in rows]
        else:
            cat, item = t.split(".")
            cur.setdefault(cat + "#single", {})[item] = toks[i + 1]
            i += 2
    for b in blocks.values():
        for key in [k for k in b if k.endswith("#single")]:
            cat = key[:-7]
            if cat not in b:
                b[cat] = [b[key]]
    return blocks


# ---------------------------------------------------------------- geometry
def sub(a, b):
    return [a[0] - b[0], a[1] - b[1], a[2] - b[2]]


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def dist(a, b):
    return math.sqrt(dot(sub(a, b), sub(a, b)))


def angle(a, b, c):
    u, v = sub(a, b), sub(c, b)
    x = dot(u, v) / math.sqrt(dot(u, u) * dot(v, v))
    return math.degrees(math.acos(max(-1.0, min(1.0, x))))


def torsion(a, b, c, d):
    b1, b2, b3 = sub(b, a), sub(c, b), sub(d, c)
    n1, n2 = cross(b1, b2), cross(b2, b3)
    m = cross(n1, b2)
    x = dot(n1, n2)
    y = dot(m, n2) / math.sqrt(dot(b2, b2))
    return math.degrees(math.atan2(y, x))


# ---------------------------------------------------------------- monomers
class Mon:
    pass


def lib_name(code, name):
    # Nucleotide atoms carry the older names: "'" becomes "*", OP1/OP2
    # become O1P/O2P (the names the tree and link code of the system use).
    if code == "A":
        name = name.replace("'", "*")
        name = {"OP1": "O1P", "OP2": "O2P", "OP3": "O3P", "H5*": "H5*1", "H5**": "H5*2",
                "HO2*": "HO2*"}.get(name, name)
    return name


def build(code, blk):
    m = Mon()
    m.code = code
    atoms = blk["_chem_comp_atom"]
    keep = []
    for a in atoms:
        leaving = a.get("pdbx_leaving_atom_flag", "N") == "Y"
        if code in ("NAG", "HOH", "ZN", "CD"):
            leaving = False
        if code == "A" and a["atom_id"] == "HOP2":
            leaving = True
        if not leaving:
            keep.append(a)
    # A hydrogen whose parent atom leaves goes with it.
    gone = {a["atom_id"] for a in atoms} - {a["atom_id"] for a in keep}
    for b in blk.get("_chem_comp_bond", []):
        for x, y in ((b["atom_id_1"], b["atom_id_2"]), (b["atom_id_2"], b["atom_id_1"])):
            if x in gone:
                keep = [a for a in keep if not (a["atom_id"] == y and a["type_symbol"] == "H")]
    m.names = [lib_name(code, a["atom_id"]) for a in keep]
    orig = {a["atom_id"]: lib_name(code, a["atom_id"]) for a in keep}
    m.elem = {lib_name(code, a["atom_id"]): a["type_symbol"].upper() for a in keep}
    m.arom = {lib_name(code, a["atom_id"]): a.get("pdbx_aromatic_flag", "N") == "Y" for a in keep}
    m.stereo = {lib_name(code, a["atom_id"]): a.get("pdbx_stereo_config", "N") for a in keep}
    m.xyz = {lib_name(code, a["atom_id"]): [float(a["pdbx_model_Cartn_%s_ideal" % c]) for c in "xyz"]
             for a in keep}
    m.bonds = []
    for b in blk.get("_chem_comp_bond", []):
        if b["atom_id_1"] in orig and b["atom_id_2"] in orig:
            order = b["value_order"]
            if b.get("pdbx_aromatic_flag", "N") == "Y":
                order = "AROM"
            m.bonds.append((orig[b["atom_id_1"]], orig[b["atom_id_2"]], order))
    m.nb = {n: [] for n in m.names}
    for a, b, _ in m.bonds:
        m.nb[a].append(b)
        m.nb[b].append(a)
    m.name = blk["_chem_comp"][0]["name"]
    return m


def heavy(m, n):
    return m.elem[n] not in ("H", "D")


def order_of(m, a, b):
    for x, y, o in m.bonds:
        if (x, y) in ((a, b), (b, a)):
            return o
    return None


def energy_type(m, n):
    e = m.elem[n]
    nbs = m.nb[n]
    if m.code in AMINO and n in BACKBONE:
        if m.code == "GLY" and n == "CA":
            return "CH2"
        return BACKBONE[n] if not (m.code == "PRO" and n == "N") else "N"
    nh = sum(1 for x in nbs if not heavy(m, x))
    nheavy = len(nbs) - nh
    orders = [order_of(m, n, x) for x in nbs]
    if e in ("H", "D"):
        if not nbs:
            return "H"
        p = m.elem[nbs[0]]
        if m.code == "HOH":
            return "HW"
        return {"C": "H", "N": "HN", "O": "HO", "S": "HS"}.get(p, "H")
    if e == "C":
        if m.arom[n]:
            return "CR1" if nh else "CR"
        if "DOUB" in orders or "AROM" in orders:
            return "C1" if nh else "C"
        return ["CT", "CH1", "CH2", "CH3"][nh]
    if e == "N":
        if m.arom[n]:
            return "NR1" if nh else "NR"
        sp2 = "DOUB" in orders or any(
            ("DOUB" in [order_of(m, x, y) for y in m.nb[x]]) or m.arom[x]
            for x in nbs if heavy(m, x) and m.elem[x] == "C")
        if sp2:
            return ["N", "NH1", "NH2"][min(nh, 2)]
        return ["NT", "NT1", "NT2", "NT3"][min(nh, 3)]
    if e == "O":
        if m.code == "HOH":
            return "OH2"
        if nh:
            return "OH1"
        if nheavy == 2:
            return "O2"
        p = nbs[0]
        if m.elem[p] == "P":
            return "OP"
        terminal_o = [x for x in m.nb[p] if m.elem[x] == "O" and len(m.nb[x]) == 1]
        if m.elem[p] == "C" and len(terminal_o) >= 2:
            return "OC"
        return "O"
    if e == "S":
        return "SH1" if nh else "S2"
    return e


def tree(m):
    """Back and forward atoms: a spanning tree from the first backbone atom,
    the main chain running to the last backbone atom."""
    if m.code in AMINO:
        first, last = "N", "C"
    elif m.code == "A":
        first, last = "P", "O3*"
    elif m.code == "NAG":
        first, last = "C1", "O5"
    else:
        first, last = m.names[0], None
    back = {first: None}
    orderq = [first]
    # Breadth-first over heavy atoms first so that rings close on hydrogens never.
    i = 0
    while i < len(orderq):
        a = orderq[i]
        i += 1
        for b in sorted(m.nb[a], key=lambda x: (not heavy(m, x), m.names.index(x))):
            if b not in back and not (b == last and a != pathparent(m, first, last)):
                back[b] = a
                orderq.append(b)
    if last and last not in back:
        back[last] = pathparent(m, first, last)
        orderq.append(last)
    for n in m.names:  # atoms without bonds hang on the previous one
        if n not in back:
            back[n] = orderq[-1]
            orderq.append(n)
    children = {n: [c for c in orderq if back.get(c) == n] for n in m.names}
    size = {}

    def sub_size(n):
        if n not in size:
            size[n] = 1 + sum(sub_size(c) for c in children[n])
        return size[n]
    main = set()
    if last:
        x = last
        while x is not None:
            main.add(x)
            x = back[x]
    forw = {}
    for n in m.names:
        ch = children[n]
        if not ch:
            forw[n] = None
            continue
        on_main = [c for c in ch if c in main]
        if on_main:
            forw[n] = on_main[0]
        else:
            hv = [c for c in ch if heavy(m, c)] or ch
            forw[n] = max(hv, key=lambda c: (sub_size(c), -m.names.index(c)))
    if last is None:
        last = orderq[-1]
    return first, last, back, forw, orderq


def pathparent(m, first, last):
    # The neighbour of the last backbone atom on a shortest path from the first.
    prev = {first: None}
    q = [first]
    while q:
        a = q.pop(0)
        for b in m.nb[a]:
            if b not in prev:
                prev[b] = a
                q.append(b)
    return prev.get(last)


def fmt_name(n):
    if "'" in n:
        return '"%s"' % n
    return n


def write_desc(m, path, ener):
    et = {n: energy_type(m, n) for n in m.names}
    ener.update(et.values())
    out = []
    out.append("# Description of %s, computed from the ideal coordinates of the component." % m.code)
    out.append("data_comp_%s" % m.code)
    out.append("#")
    out.append("loop_")
    for it in ("comp_id", "atom_id", "type_symbol", "type_energy", "partial_charge", "x", "y", "z"):
        out.append("_chem_comp_atom.%s" % it)
    for n in m.names:
        x, y, z = m.xyz[n]
        out.append("%-4s %-5s %-2s %-5s %6.3f %8.3f %8.3f %8.3f" %
                   (m.code, fmt_name(n), m.elem[n], et[n], 0.0, x, y, z))
    if len(m.names) > 1:
        first, last, back, forw, orderq = tree(m)
        out.append("loop_")
        for it in ("comp_id", "atom_id", "atom_back", "atom_forward", "connect_type"):
            out.append("_chem_comp_tree.%s" % it)
        for n in orderq:
            b = back[n] if back[n] else "n/a"
            f = forw[n] if forw[n] else "."
            ct = "."
            if n == first:
                ct = "START"
            elif n == last:
                ct = "END"
                f = "n/a"
            out.append("%-4s %-5s %-5s %-5s %s" % (m.code, fmt_name(n), fmt_name(b), fmt_name(f), ct))
    if m.bonds:
        out.append("loop_")
        for it in ("comp_id", "atom_id_1", "atom_id_2", "type", "value_dist", "value_dist_esd"):
            out.append("_chem_comp_bond.%s" % it)
        for a, b, o in m.bonds:
            esd = 0.020 if heavy(m, a) and heavy(m, b) else 0.020
            out.append("%-4s %-5s %-5s %-6s %6.3f %5.3f" %
                       (m.code, fmt_name(a), fmt_name(b), o, dist(m.xyz[a], m.xyz[b]), esd))
    angles = []
    for c in m.names:
        nb = m.nb[c]
        for i in range(len(nb)):
            for j in range(i + 1, len(nb)):
                angles.append((nb[i], c, nb[j]))
    if angles:
        out.append("loop_")
        for it in ("comp_id", "atom_id_1", "atom_id_2", "atom_id_3", "value_angle", "value_angle_esd"):
            out.append("_chem_comp_angle.%s" % it)
        for a, b, c in angles:
            out.append("%-4s %-5s %-5s %-5s %7.2f %5.2f" %
                       (m.code, fmt_name(a), fmt_name(b), fmt_name(c),
                        angle(m.xyz[a], m.xyz[b], m.xyz[c]), 3.0))
    tors = torsions(m)
    if tors:
        out.append("loop_")
        for it in ("comp_id", "id", "atom_id_1", "atom_id_2", "atom_id_3", "atom_id_4",
                   "value_angle", "value_angle_esd", "period"):
            out.append("_chem_comp_tor.%s" % it)
        for k, (a, b, c, d, prd) in enumerate(tors, 1):
            out.append("%-4s var_%-3d %-5s %-5s %-5s %-5s %8.2f %5.2f %d" %
                       (m.code, k, fmt_name(a), fmt_name(b), fmt_name(c), fmt_name(d),
                        torsion(m.xyz[a], m.xyz[b], m.xyz[c], m.xyz[d]), 15.0, prd))
    chir = chirals(m)
    if chir:
        out.append("loop_")
        for it in ("comp_id", "id", "atom_id_centre", "atom_id_1", "atom_id_2", "atom_id_3",
                   "volume_sign"):
            out.append("_chem_comp_chir.%s" % it)
        for k, (c, a, b, d, sign) in enumerate(chir, 1):
            out.append("%-4s chir_%02d %-5s %-5s %-5s %-5s %s" %
                       (m.code, k, fmt_name(c), fmt_name(a), fmt_name(b), fmt_name(d), sign))
    pl = planes(m)
    if pl:
        out.append("loop_")
        for it in ("comp_id", "plane_id", "atom_id", "dist_esd"):
            out.append("_chem_comp_plane_atom.%s" % it)
        for k, atoms in enumerate(pl, 1):
            for n in atoms:
                out.append("%-4s plan-%d %-5s %5.3f" % (m.code, k, fmt_name(n), 0.020))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def in_ring(m, a, b):
    # Is bond a-b on a ring: is b reachable from a without that bond?
    seen = {a}
    q = [a]
    while q:
        x = q.pop()
        for y in m.nb[x]:
            if (x, y) in ((a, b), (b, a)):
                continue
            if y == b:
                return True
            if y not in seen:
                seen.add(y)
                q.append(y)
    return False


def torsions(m):
    """One torsion per rotatable heavy bond that is not in a ring and whose
    ends both carry further heavy atoms; first neighbours in atom order."""
    out = []
    for a, b, o in m.bonds:
        if not (heavy(m, a) and heavy(m, b)) or in_ring(m, a, b):
            continue
        na = [x for x in m.nb[a] if x != b and heavy(m, x)]
        nb = [x for x in m.nb[b] if x != a and heavy(m, x)]
        if not na or not nb:
            continue
        sp2 = o in ("DOUB", "AROM") or any(
            order_of(m, a, x) in ("DOUB", "AROM") for x in m.nb[a]) or any(
            order_of(m, b, x) in ("DOUB", "AROM") for x in m.nb[b])
        out.append((na[0], a, b, nb[0], 2 if sp2 else 3))
    return out


def chirals(m):
    out = []
    for c in m.names:
        if m.stereo.get(c, "N") not in ("R", "S"):
            continue
        nbs = [x for x in m.nb[c] if heavy(m, x)]
        if len(nbs) < 3:
            nbs = nbs + [x for x in m.nb[c] if not heavy(m, x)]
        a, b, d = nbs[:3]
        v = dot(sub(m.xyz[a], m.xyz[c]), cross(sub(m.xyz[b], m.xyz[c]), sub(m.xyz[d], m.xyz[c])))
        out.append((c, a, b, d, "positiv" if v > 0 else "negativ"))
    return out


def planes(m):
    """Aromatic ring systems with their first neighbours, and every sp2
    centre outside them with its neighbours (four atoms or more)."""
    out = []
    done = set()
    arom = [n for n in m.names if m.arom[n]]
    for s in arom:
        if s in done:
            continue
        comp = []
        q = [s]
        done.add(s)
        while q:
            x = q.pop(0)
            comp.append(x)
            for y in m.nb[x]:
                if m.arom[y] and y not in done:
                    done.add(y)
                    q.append(y)
        members = list(comp)
        for x in comp:
            for y in m.nb[x]:
                if y not in members:
                    members.append(y)
        out.append(sorted(members, key=m.names.index))
    for c in m.names:
        if m.arom[c] or m.elem[c] != "C":
            continue
        if not any(order_of(m, c, x) == "DOUB" for x in m.nb[c]):
            continue
        members = [c] + list(m.nb[c])
        # An amide or guanidine nitrogen brings its own neighbours.
        for x in m.nb[c]:
            if m.elem[x] == "N" and not m.arom[x]:
                members += [y for y in m.nb[x] if y not in members]
        if len(members) >= 4:
            out.append(sorted(set(members), key=m.names.index))
    return out


# ---------------------------------------------------------------- index
ATM_SYMB = ["C ", "N ", "O ", "S ", "P ", "CO", "MG", "CA", "ZN", "CU", "FE", "CL", "MN", "MO", "  "]


def sym2(e):
    return (e + "  ")[:2]


def index_of(m):
    hv = [n for n in m.names if heavy(m, n)]
    n = len(hv)
    content = ""
    for s in ATM_SYMB:
        k = sum(1 for x in hv if sym2(m.elem[x]) == s)
        content += "%02d" % min(k, 99)
    if n < 2:
        return n, content, "000".ljust(24), "000".ljust(24)
    pos = {x: i for i, x in enumerate(hv)}
    adj = {i: [] for i in range(n)}
    for a, b, _ in m.bonds:
        if a in pos and b in pos:
            adj[pos[a]].append(pos[b])
            adj[pos[b]].append(pos[a])
    dmax = min(n, 8)
    cnt = [0] * 9
    for i in range(n):
        d = {i: 0}
        q = [i]
        while q:
            x = q.pop(0)
            for y in adj[x]:
                if y not in d:
                    d[y] = d[x] + 1
                    q.append(y)
        for j, dd in d.items():
            if j != i and 1 <= dd <= dmax:
                cnt[dd] += 1
    cls = lambda x: {"C ": 1, "N ": 2, "O ": 3}.get(sym2(m.elem[x]), 4)
    pair = [0] * 9
    table = {(1, 1): 1, (1, 2): 2, (1, 3): 3, (2, 2): 4, (2, 3): 5, (3, 3): 6}
    seen = set()
    for a, b, _ in m.bonds:
        if a in pos and b in pos and frozenset((a, b)) not in seen:
            seen.add(frozenset((a, b)))
            k = table.get(tuple(sorted((cls(a), cls(b)))))
            if k:
                pair[k] += 1
    cidx = "".join("%03d" % min(cnt[k] // 2, 999) for k in range(1, 9))
    cpair = "".join("%03d" % min(pair[k], 999) for k in range(1, 9))
    return n, content, cidx, cpair


BOND_CODE = {"SING": 1, "DOUB": 2, "TRIP": 3, "AROM": 4, "DELO": 5, "META": 6}
CLASS = {s: i + 1 for i, s in enumerate(ATM_SYMB[:14])}


def pool_record(m, listno):
    hv = [n for n in m.names if heavy(m, n)]
    n = len(hv)
    if len(m.names) < 2 or n < 5:
        return None
    hnum = {x: i + 1 for i, x in enumerate(hv)}
    hb = []
    for i in range(n):
        for j in range(i + 1, n):
            o = order_of(m, hv[i], hv[j])
            if o is None:
                continue
            for a, b, oo in m.bonds:
                if (a, b) in ((hv[i], hv[j]), (hv[j], hv[i])):
                    hb.append((hnum[a], hnum[b], BOND_CODE.get(oo, 0)))
                    break
    if len(m.bonds) < 4 or len(hb) < 4:
        return None
    counts = [0] * 15
    words = []
    for x in hv:
        c = CLASS.get(sym2(m.elem[x]), 15)
        counts[c - 1] += 1
        words += [m.names.index(x) + 1, c]
    rec = [listno, n, len(hb)] + counts + words
    for a, b, c in hb:
        rec += [a, b, c]
    return rec


# Energy types: element, hydrogen-bond class (D donor, A acceptor, B both,
# H hydrogen, N neither), valency and hybridisation.  Weights are the IUPAC
# standard atomic weights, van der Waals radii those of Bondi (1964), the
# hydrogen-bond radii the Bondi radius less 0.3 A for donors and acceptors,
# ion radii Shannon (1976) for the two metal ions.  Selenium (no monomer of
# the library has it; new monomers such as selenomethionine need its type):
# IUPAC standard atomic weight 78.971 (2013 table), Bondi (1964) radius 1.90.
TYPES = [
    ("H", "H", "H", 1, 0), ("HN", "H", "H", 1, 0), ("HO", "H", "H", 1, 0),
    ("HS", "H", "H", 1, 0), ("HW", "H", "H", 1, 0),
    ("C", "C", "N", 4, 2), ("CH1", "C", "N", 4, 3), ("CH2", "C", "N", 4, 3),
    ("CH3", "C", "N", 4, 3), ("CR", "C", "N", 4, 2), ("CR1", "C", "N", 4, 2),
    ("N", "N", "N", 3, 2), ("NH1", "N", "D", 3, 2), ("NH2", "N", "D", 3, 2),
    ("NR", "N", "A", 3, 2), ("NR1", "N", "D", 3, 2), ("NT2", "N", "D", 4, 3),
    ("NT3", "N", "D", 4, 3),
    ("O", "O", "A", 2, 2), ("O2", "O", "A", 2, 3), ("OH1", "O", "B", 2, 3),
    ("OH2", "O", "B", 2, 3), ("OP", "O", "A", 1, 2), ("OC", "O", "A", 1, 2),
    ("P", "P", "N", 5, 3), ("S2", "S", "N", 2, 3), ("SH1", "S", "D", 2, 3),
    ("SE", "SE", "N", 2, 3),
    ("ZN", "ZN", "N", 2, 0), ("CD", "CD", "N", 2, 0),
]
WEIGHT = {"H": 1.008, "C": 12.011, "N": 14.007, "O": 15.999, "P": 30.974, "S": 32.06,
          "SE": 78.971, "ZN": 65.38, "CD": 112.41}
VDW = {"H": 1.20, "C": 1.70, "N": 1.55, "O": 1.52, "P": 1.80, "S": 1.80, "SE": 1.90,
       "ZN": 1.39, "CD": 1.58}
ION = {"ZN": 0.74, "CD": 0.95}
# Bonds no monomer of the library has, so not measured from them: the sp3
# carbon to selenium length is the sum of the covalent radii of C(sp3) 0.76 A
# and Se 1.20 A, Cordero et al. (2008), Dalton Trans., 2832.
HAND_BONDS = {("CH2", "SE", "SING"): 1.960, ("CH3", "SE", "SING"): 1.960}


def write_ener(mons):
    out = ["# Energy library of the test library: the types the test monomers use.",
           "# Where each value comes from: README.md beside this file.",
           "global_", "_lib_name         test_ener", "_lib_version      1.0",
           "data_energy", "loop_"]
    for it in ("type", "weight", "hb_type", "vdw_radius", "vdwh_radius", "ion_radius",
               "element", "valency", "sp"):
        out.append("_lib_atom.%s" % it)
    for t, e, hb, val, sp in TYPES:
        hr = VDW[e] - 0.3 if hb in ("D", "A", "B") else VDW[e]
        out.append("%-4s %8.3f %s %5.2f %5.2f %5.2f %-2s %d %d" %
                   (t, WEIGHT[e], hb, VDW[e], hr, ION.get(e, 0.0), e, val, sp))
    bonds, angs = {}, {}
    for m in mons:
        et = {n: energy_type(m, n) for n in m.names}
        for a, b, o in m.bonds:
            key = tuple(sorted((et[a], et[b]))) + (o,)
            bonds.setdefault(key, []).append(dist(m.xyz[a], m.xyz[b]))
        for c in m.names:
            nb = m.nb[c]
            for i in range(len(nb)):
                for j in range(i + 1, len(nb)):
                    t1, t3 = sorted((et[nb[i]], et[nb[j]]))
                    angs.setdefault((t1, et[c], t3), []).append(
                        angle(m.xyz[nb[i]], m.xyz[c], m.xyz[nb[j]]))
    for key, v in HAND_BONDS.items():
        bonds.setdefault(key, [v])
    order = {"SING": "single", "DOUB": "double", "AROM": "aromatic", "TRIP": "triple"}
    out.append("loop_")
    for it in ("atom_type_1", "atom_type_2", "type", "const", "length"):
        out.append("_lib_bond.%s" % it)
    for (a, b, o), v in sorted(bonds.items()):
        out.append("%-4s %-4s %-8s %6.1f %6.3f" % (a, b, order[o], 450.0, sum(v) / len(v)))
    out.append("loop_")
    for it in ("atom_type_1", "atom_type_2", "atom_type_3", "const", "value"):
        out.append("_lib_angle.%s" % it)
    for (a, b, c), v in sorted(angs.items()):
        out.append("%-4s %-4s %-4s %6.1f %7.2f" % (a, b, c, 55.0, sum(v) / len(v)))
    out += ["loop_", "_lib_tors.atom_type_1", "_lib_tors.atom_type_2", "_lib_tors.atom_type_3",
            "_lib_tors.atom_type_4", "_lib_tors.label", "_lib_tors.const", "_lib_tors.angle",
            "_lib_tors.period",
            ".    CH1  CH2  .    sp3sp3    1.0  180.0 3",
            ".    C    NH1  .    peptide  10.0  180.0 2",
            ".    CR   CR1  .    arom     10.0  180.0 2",
            "loop_", "_lib_vdw.atom_type_1", "_lib_vdw.atom_type_2", "_lib_vdw.H_flag",
            "_lib_vdw.energy_min", "_lib_vdw.radius_min",
            "NH1  O    h  -0.100 2.90",
            "OH1  O    h  -0.100 2.70",
            "loop_", "_lib_hbond.atom_type_1", "_lib_hbond.atom_type_2",
            "_lib_hbond.min_energy", "_lib_hbond.dist",
            "NH1  O   -2.0 2.90",
            "OH1  OH1 -2.0 2.70",
            "OH2  O   -2.0 2.80",
            "loop_", "_lib_synonym.atom_type", "_lib_synonym.atom_alternative_type",
            "OC   O",
            "NT3  NH2"]
    with open("ener_lib.cif", "w") as f:
        f.write("\n".join(out) + "\n")


def main():
    blocks = read_blocks(sys.argv[1])
    ener = set()
    mons = []
    for code in ORDER:
        m = build(code, blocks[code])
        mons.append(m)
        part = FILE_PART.get(code, code)
        write_desc(m, os.path.join(code[0].lower(), part + ".cif"), ener)
    with open("mon_lib_ind.cif", "w") as f:
        for k, m in enumerate(mons, 1):
            n, content, cidx, cpair = index_of(m)
            f.write("%4d %-2s %-8s %4d %s %s\n" % (k, ONE[m.code] + " ", m.code, n, content, cidx))
            f.write("%17s%s\n" % ("", cpair))
    recs = []
    for k, m in enumerate(mons, 1):
        r = pool_record(m, k)
        if r:
            recs.append(r)
    ptr = []
    pool = []
    for r in recs:
        ptr.append(len(pool) + 1)
        pool += r
    with open("mon_lib_ind2.cif", "w") as f:
        f.write("%5d%12d\n" % (len(recs), len(pool)))
        for i in range(0, len(ptr), 10):
            f.write("".join("%8d" % p for p in ptr[i:i + 10]) + "\n")
        for i in range(0, len(pool), 20):
            f.write("".join("%4d" % p for p in pool[i:i + 20]) + "\n")
    write_ener(mons)
    for m in mons:
        hv = sum(1 for n in m.names if heavy(m, n))
        print("%-4s %3d %3d %s" % (m.code, len(m.names), hv, m.name))


main()
