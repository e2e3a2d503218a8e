#!/bin/sh
# Writes the files of this directory again (see README.md): two models made
# by hand from entries in ../, and the zinc site as PyMOL and Biopython save
# it.  Run it from this directory with the system's python3: sh make_files.sh
set -e
PY=/usr/bin/python3

$PY - <<'EOF'
import math

def sub(a, b): return [a[i] - b[i] for i in range(3)]
def norm(a): return math.sqrt(sum(x * x for x in a))

# p turned by deg degrees about the axis a -> b.
def turn(p, a, b, deg):
    k = sub(b, a); n = norm(k); k = [x / n for x in k]
    q = sub(p, a); t = math.radians(deg); c, s = math.cos(t), math.sin(t)
    dot = sum(k[i] * q[i] for i in range(3))
    cr = [k[1] * q[2] - k[2] * q[1], k[2] * q[0] - k[0] * q[2], k[0] * q[1] - k[1] * q[0]]
    return [a[i] + q[i] * c + cr[i] * s + k[i] * dot * (1 - c) for i in range(3)]

def read(path, keep):
    rows = []
    for l in open(path):
        if l.startswith('ATOM') and keep(int(l[22:26])):
            rows.append([int(l[22:26]), l[17:20], l[12:16], ' ',
                         [float(l[30:38]), float(l[38:46]), float(l[46:54])],
                         1.0, float(l[60:66]), l[76:78].strip()])
    return rows

def pos(rows, num, name):
    return next(r[4] for r in rows if r[0] == num and r[2].strip() == name)

def line(rec, serial, r, chain, num):
    return '%-6s%5d %-4s%s%3s %s%4d    %8.3f%8.3f%8.3f%6.2f%6.2f          %2s  \n' % (
        rec, serial, r[2], r[3], r[1], chain, num, r[4][0], r[4][1], r[4][2], r[5], r[6], r[7])

# 1. Residues LEU 67, HIS 68, LEU 69 of 1ubi, numbered 9 to 11 of chain B.
# The histidine's side chain in two conformers from CG on: A where the entry
# has it, B turned 135 degrees about CA-CB.  Zinc 32 on the outer bisector
# of the ring at NE2 of A (1.87 A), zinc 31 on that of B (1.97 A), each as
# far from the other conformer's NE2 as a metal on either side of a
# flipped histidine is.
rows = read('../1ubi.pdb', lambda n: 67 <= n <= 69)
ca, cb = pos(rows, 68, 'CA'), pos(rows, 68, 'CB')
side = ('CG', 'ND1', 'CD2', 'CE1', 'NE2')
out = []
for r in rows:
    if r[0] == 68 and r[2].strip() in side:
        a = list(r); a[3] = 'A'; a[5] = 0.5
        b = list(r); b[3] = 'B'; b[5] = 0.5; b[4] = turn(r[4], ca, cb, 135.0)
        out += [a, b]
    else:
        out.append(r)

def zinc(alt, d):
    at = {r[2].strip(): r[4] for r in out if r[0] == 68 and r[3] == alt}
    m = [(at['CD2'][i] + at['CE1'][i]) / 2 for i in range(3)]
    u = sub(at['NE2'], m); n = norm(u)
    return [at['NE2'][i] + u[i] / n * d for i in range(3)]

zn = {31: zinc('B', 1.97), 32: zinc('A', 1.87)}
text = [l for l in open('../1ubi.pdb') if l.startswith('CRYST1')]
text += ['LINK         NE2BHIS B  10                ZN    ZN B  31     1555   1555  1.97  \n',
        'LINK         NE2AHIS B  10                ZN    ZN B  32     1555   1555  1.87  \n']
serial = 0
for r in out:
    serial += 1
    text.append(line('ATOM', serial, r, 'B', r[0] - 58))
serial += 1
text.append('TER   %5d      LEU B  11%54s\n' % (serial, ''))
for num in (31, 32):
    serial += 1
    text.append(line('HETATM', serial, [num, ' ZN', 'ZN  ', ' ', zn[num], 1.0, 20.0, 'ZN'], 'B', num))
text.append('END%77s\n' % '')
open('his_zinc.pdb', 'w').writelines(text)

# 2. CYS 198 and CYS 218 of 1A8O, whose SSBOND record is kept: SG of 198 in
# two conformers, A turned 1.9 degrees about CA-CB (1.99 A from SG of 218),
# B turned -120.9 degrees, the next rotamer (4.65 A away): the bridge
# broken in one conformer.
rows = read('../1A8O.pdb', lambda n: n in (198, 218))
ca, cb = pos(rows, 198, 'CA'), pos(rows, 198, 'CB')
out = []
for r in rows:
    if r[0] == 198 and r[2].strip() == 'SG':
        a = list(r); a[3] = 'A'; a[5] = 0.5; a[4] = turn(r[4], ca, cb, 1.9)
        b = list(r); b[3] = 'B'; b[5] = 0.5; b[4] = turn(r[4], ca, cb, -120.9)
        out += [a, b]
    else:
        out.append(r)
text = [l for l in open('../1A8O.pdb') if l.startswith(('CRYST1', 'SSBOND'))]
for serial, r in enumerate(out, 1):
    text.append(line('ATOM', serial, r, 'A', r[0]))
text.append('END%77s\n' % '')
open('cys_split_sg.pdb', 'w').writelines(text)
EOF

# PyMOL: the zinc site as mmCIF and as PDB.
$PY - <<'EOF'
import pymol
pymol.finish_launching(['pymol', '-qc'])
from pymol import cmd
cmd.load('his_zinc.pdb', 'm')
cmd.save('his_zinc_pymol.cif', 'm')
cmd.save('his_zinc_pymol.pdb', 'm')
cmd.quit()
EOF

# Biopython: the zinc site as PDB and as mmCIF, the cysteines as PDB.
$PY - <<'EOF'
from Bio.PDB import PDBParser, PDBIO, MMCIFIO
s = PDBParser(QUIET=True).get_structure('his_zinc', 'his_zinc.pdb')
for w, out in ((PDBIO(), 'his_zinc_biopython.pdb'), (MMCIFIO(), 'his_zinc_biopython.cif')):
    w.set_structure(s)
    w.save(out)
w = PDBIO()
w.set_structure(PDBParser(QUIET=True).get_structure('cys', 'cys_split_sg.pdb'))
w.save('cys_split_sg_biopython.pdb')
EOF

# The system's own coordinate file of the cysteines, with conformer B of
# SG 198 flagged D (a dummy atom) and the connection row naming SG 198
# without its alternate code, as the SSBOND record does.  Needs the example
# program of a build (PREPARE, and the build's orbinate-env.sh sourced).
if [ -n "$PREPARE" ]; then
  d=$(mktemp -d)
  "$PREPARE" cys_split_sg.pdb ../monlib "$d/out" >/dev/null
  awk '/^     7 SG     B CYS/ {sub(/S    \.$/, "S    D")}
       /^1   SS       SG     A  198/ {sub(/SG     A  198/, "SG     .  198")} {print}' \
      "$d/out.crd" > cys_split_sg_b_dummy.crd
  rm -r "$d"
fi
