#!/bin/sh
# Writes the files of this directory again from the entries in ../ with the
# programs named in README.md (Debian packages; run with the system's
# python3).  Run it from this directory: sh make_files.sh
set -e
PY=/usr/bin/python3

# mdtraj: the NMR entry, every model, and its first frame alone.
$PY - <<'EOF'
import mdtraj
t = mdtraj.load_pdb('../1d3z.pdb')
t.save_pdb('1d3z_mdtraj.pdb')
t[0].save_pdb('1d3z_mdtraj_first.pdb')
EOF

# PyMOL: an X-ray entry with waters, a chain with insertion codes.
$PY - <<'EOF'
import pymol
pymol.finish_launching(['pymol', '-qc'])
from pymol import cmd
for name in ('1ubi', '1a5zA'):
    cmd.load('../%s.pdb' % name, 'm')
    cmd.save('%s_pymol.cif' % name, 'm')
    cmd.delete('all')
cmd.quit()
EOF

# Open Babel: its mmCIF (no occupancy, no chain).
obabel ../1ubi.pdb -ommcif -O 1ubi_obabel.cif
# The first two models of the NMR entry, each a molecule of its own: a data
# block per model in the mmCIF, and in the PDB file a MODEL record above the
# header and again above each model's atoms.
obabel ../1d3z.pdb -l 2 -ommcif -O 1d3z_obabel.cif
obabel ../1d3z.pdb -l 2 -opdb -O 1d3z_obabel.pdb

# The converter: 1A8O with its SSBOND record cut after the second residue
# (no symmetry columns, no length), as older files write it.
awk '/^SSBOND/ { printf "%-80s\n", substr($0, 1, 35); next } { print }' ../1A8O.pdb >1A8O_ssbond.pdb
pdb2cif 1A8O_ssbond.pdb 1A8O_ssbond_pdb2cif.cif

# A capped chain made by hand: residues 2-7 of 1ubi; ACE 1 takes the place
# of MET 1 (its C, O and CA become C, O and CH3), NME 8 that of LEU 8 (its N
# and CA become N and C).
$PY - <<'EOF'
atoms, order = {}, []
for l in open('../1ubi.pdb'):
    if l.startswith('ATOM'):
        key = (int(l[22:26]), l[12:16].strip())
        atoms[key] = l
        order.append(key)
rows = [(1, 'C', 'ACE', ' C  ', 'C'), (1, 'O', 'ACE', ' O  ', 'O'), (1, 'CA', 'ACE', ' CH3', 'C')]
rows += [(r, n, None, None, None) for (r, n) in order if 2 <= r <= 7]
rows += [(8, 'N', 'NME', ' N  ', 'N'), (8, 'CA', 'NME', ' C  ', 'C')]
out = ['CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1          \n']
for serial, (res, name, resname, newname, element) in enumerate(rows, 1):
    l = atoms[(res, name)]
    out.append('ATOM  %5d %4s %3s %s%4d    %s  1.00%s          %2s  \n'
               % (serial, newname or l[12:16], resname or l[17:20], l[21], res, l[30:54],
                  l[60:66], element or l[76:78].strip()))
out.append('TER   %5d      NME A   8%54s\n' % (len(rows) + 1, ''))
out.append('END%77s\n' % '')
open('capped.pdb', 'w').writelines(out)
EOF
$PY - <<'EOF'
import pymol
pymol.finish_launching(['pymol', '-qc'])
from pymol import cmd
cmd.load('capped.pdb', 'm')
cmd.save('capped_pymol.cif', 'm')
cmd.quit()
EOF

# The capped chain without its chain letter (column 22 blanked).
awk '/^(ATOM|HETATM|TER)/ && length($0) > 21 { $0 = substr($0, 1, 21) " " substr($0, 23) } { print }' \
  capped.pdb > capped_blank_chain.pdb

# Biopython: the capped chain with and without its chain letter, and chain A
# of 3MHT without a chain letter.
$PY - <<'EOF'
from Bio.PDB import PDBParser, MMCIFIO
for path, out in (('capped.pdb', 'capped_biopython'),
                  ('capped_blank_chain.pdb', 'capped_blank_chain_biopython'),
                  ('../3mht_A_blank.pdb', '3mht_A_blank_biopython')):
    s = PDBParser(QUIET=True).get_structure(out, path)
    w = MMCIFIO(); w.set_structure(s); w.save(out + '.cif')
EOF

# gemmi: 1LCD's DNA in the one-letter names of older files, and a GROMACS
# frame.
$PY - <<'EOF'
out = []
for l in open('../1LCD.pdb'):
    if l.startswith('CRYST1'):
        out.append(l)
    elif l.startswith(('ATOM', 'TER')) and l[21] in 'BC':
        out.append(l[:17] + '  ' + l[19] + l[20:])
    elif l.startswith('ENDMDL'):
        break
out.append('END%77s\n' % '')
open('1LCD_dna_one_letter.pdb', 'w').writelines(out)

out = ['TITLE     UBIQUITIN\n', 'REMARK    THIS IS A SIMULATION BOX\n',
       'CRYST1   50.840   42.770   28.950  90.00  90.00  90.00 P 1           1\n',
       'MODEL        0\n']
for l in open('../1ubi.pdb'):
    if l.startswith('ATOM'):
        out.append(l[:54] + '  1.00  0.00' + ' ' * 10 + l[76:78].rstrip() + '\n')
out += ['TER\n', 'ENDMDL\n']
open('1ubi_gromacs.pdb', 'w').writelines(out)
EOF
$PY - <<'EOF'
import gemmi
for name in ('1LCD_dna_one_letter', '1ubi_gromacs'):
    st = gemmi.read_structure(name + '.pdb')
    st.setup_entities()
    st.make_mmcif_document().write_file(name + '_gemmi.cif')
EOF

# Atom lines that end at column 66: no element columns.
awk '/^(ATOM|HETATM)/ { print substr($0, 1, 66); next } { print }' ../pdb_aib.pdb >aib_no_elements.pdb

# An entry of the format before segment identifiers, cut down: 1HPV as the
# PyMOL package ships it (its entry code in columns 73-76 of every line),
# three residues of each chain, the ligand and five waters.
$PY - <<'EOF2'
src = '/usr/share/pymol/data/tut/1hpv.pdb'
out, waters = [], 0
for l in open(src):
    rec = l[:6]
    if rec in ('HEADER', 'CRYST1', 'ORIGX1', 'ORIGX2', 'ORIGX3', 'SCALE1', 'SCALE2', 'SCALE3'):
        out.append(l)
    elif rec == 'ATOM  ' and int(l[22:26]) <= 3:
        out.append(l)
    elif rec == 'TER   ':
        out.append(l)
    elif rec == 'HETATM' and l[17:20] == '478':
        out.append(l)
    elif rec == 'HETATM' and l[17:20] == 'HOH' and waters < 5:
        out.append(l)
        waters += 1
    elif rec == 'END   ':
        out.append(l)
open('1hpv_entry_code.pdb', 'w').writelines(out)
EOF2


# A solvated model as a simulation program writes it, by hand: 1ubi's chain
# twice (segments PROA and PROB, the second moved 45 A along x), 2,000
# waters TIP3 of three atoms (segment SOLV) and four chloride ions (CLA);
# no chain letter, four-letter residue names in columns 18-21, the segment
# in columns 73-76, no element columns, every atom an ATOM record.
$PY - <<'EOF2'
import math
out = ['REMARK SOLVATED UBIQUITIN DIMER\n',
       'CRYST1  100.000  100.000  100.000  90.00  90.00  90.00 P 1           1\n']
serial = 0
def atom(name, res, num, xyz, seg):
    global serial
    serial += 1
    name = name if len(name) == 4 or name.startswith('CL') else ' ' + name
    out.append('ATOM  %5d %-4s %-4s %4d    %8.3f%8.3f%8.3f  1.00  0.00      %-4s\n'
               % (serial, name, res, num, xyz[0], xyz[1], xyz[2], seg))
protein = [l for l in open('../1ubi.pdb') if l.startswith('ATOM')]
for seg, dx in (('PROA', 0.0), ('PROB', 45.0)):
    for l in protein:
        xyz = (float(l[30:38]) + dx, float(l[38:46]), float(l[46:54]))
        atom(l[12:16].strip(), l[17:20], int(l[22:26]), xyz, seg)
a = math.radians(104.52)
for n in range(2000):
    o = (-20.0 + 3.1 * (n % 13), -20.0 + 3.1 * (n // 13 % 13), 50.0 + 3.1 * (n // 169))
    atom('OH2', 'TIP3', n + 1, o, 'SOLV')
    atom('H1', 'TIP3', n + 1, (o[0] + 0.9572, o[1], o[2]), 'SOLV')
    atom('H2', 'TIP3', n + 1, (o[0] + 0.9572 * math.cos(a), o[1] + 0.9572 * math.sin(a), o[2]), 'SOLV')
for n in range(4):
    atom('CLA', 'CLA', n + 1, (80.0, 10.0 * n, 0.0), 'CLA')
out.append('END\n')
open('1ubi_charmm_solvated.pdb', 'w').writelines(out)
EOF2
# The same model with 10,100 waters, numbered past 9999 (on into column 27,
# or modulo 10000), is too large to keep: the tests write it at test time
# with more_waters.awk from the file above, as in
#   awk -v waters=10100 -v numbers=five -f more_waters.awk 1ubi_charmm_solvated.pdb
# (numbers=wrap for the other way).  With 2,000 waters it writes the file
# above again.
awk -v waters=2000 -v numbers=five -f more_waters.awk 1ubi_charmm_solvated.pdb |
  cmp - 1ubi_charmm_solvated.pdb


# Author chains of six characters, by hand: the first model of 1LCD's mmCIF
# form with its author chains A, B and C renamed CHAIN1, CHAIN2 and CHAIN3.
$PY - <<'EOF2'
out, items, in_atoms = [], [], False
names = {'A': 'CHAIN1', 'B': 'CHAIN2', 'C': 'CHAIN3'}
for l in open('../cif_1LCD.cif'):
    if l.startswith('_atom_site.'):
        items.append(l.strip())
    if l.startswith(('ATOM', 'HETATM')):
        f = l.split()
        if f[items.index('_atom_site.pdbx_PDB_model_num')] != '1':
            continue
        k = items.index('_atom_site.auth_asym_id')
        f[k] = names[f[k]]
        l = ' '.join(f) + '\n'
    out.append(l)
open('1LCD_long_author_chains.cif', 'w').writelines(out)
EOF2

# The converter on entries whose atom lines end at column 66: it writes
# type_symbol "?" for every atom.  1d3z's first model also as it stands
# (the two mmCIF forms are compared; its PDB form breaks chains where its
# mmCIF form does not).
pdb2cif ../1d3z_model1.pdb 1d3z_model1_pdb2cif.cif
for name in 1A8O 1d3z_model1; do
  awk '/^(ATOM|HETATM)/ { print substr($0, 1, 66); next } { print }' ../$name.pdb >${name}_no_elements.pdb
  pdb2cif ${name}_no_elements.pdb ${name}_no_elements_pdb2cif.cif
done

# A cystine pair of 1A8O (CYS 198 and 218 with their neighbours) as a
# simulation program names it, CYX, without element columns: once with the
# names where the PDB layout puts them, once with every name from column 13.
$PY - <<'EOF'
src = open('../1A8O.pdb').read().splitlines()
cryst = [l for l in src if l.startswith('CRYST1')][0]
def cut(first, last, from_13):
    rows = []
    for l in src:
        if l.startswith('ATOM') and first <= int(l[22:26]) <= last:
            name = l[12:16].strip()
            res = 'CYX' if l[17:20] == 'CYS' else l[17:20]
            rows.append(l[:12] + (name if from_13 else ' ' + name).ljust(4) + l[16] + res + l[20:66])
    return rows
for from_13, out in ((False, 'cyx_pair.pdb'), (True, 'cyx_pair_names_from_13.pdb')):
    lines = [cryst] + cut(197, 199, from_13) + ['TER'] + cut(217, 219, from_13) + ['TER', 'END']
    open(out, 'w').write('\n'.join(lines) + '\n')
EOF

# Damaged by hand: 1a5zA with the residue name of SER 91's O mistyped (SEX)
# or holding a byte that is no character (S, 0x01, R).
$PY - <<'EOF'
lines = open('../1a5zA.pdb', 'rb').read().split(b'\n')
for name, res in (('sex', b'SEX'), ('ctl', b'S\x01R')):
    out = [l[:17] + res + l[20:] if l.startswith(b'ATOM') and l[12:26] == b' O   SER A  91' else l
           for l in lines]
    open('1a5zA_%s.pdb' % name, 'wb').write(b'\n'.join(out))
EOF

# A microheterogeneity made by hand: CYS 218 of 1A8O at half occupancy with
# alternate code A, and the same atoms as HETATM SMC 218 (S-methylcysteine,
# its CS beside the SG) with alternate code B.  Open Babel writes it without
# the alternate codes, in either form.
$PY - <<'EOF'
out, cys = [], []
for l in open('../1A8O.pdb'):
    if l.startswith('ATOM') and l[17:26] == 'CYS A 218':
        cys.append(l[:16] + 'A' + l[17:54] + '  0.50' + l[60:])
        out.append(cys[-1])
        continue
    if cys and out[-1] is cys[-1]:
        out += ['HETATM' + c[6:16] + 'BSMC' + c[20:] for c in cys]
        sg = [c for c in cys if c[12:16] == ' SG '][0]
        x, y, z = (float(sg[k:k + 8]) for k in (30, 38, 46))
        out.append('HETATM 9999  CS BSMC A 218    %8.3f%8.3f%8.3f  0.50 20.00           C  \n'
                   % (x + 1.2, y + 0.6, z))
    out.append(l)
open('1A8O_smc.pdb', 'w').writelines(out)
EOF
obabel 1A8O_smc.pdb -opdb -O 1A8O_smc_obabel.pdb
obabel 1A8O_smc.pdb -ommcif -O 1A8O_smc_obabel.cif
# Biopython: the microheterogeneity Open Babel wrote, a chain label to each
# run of residues (SMC 218 under a label of its own).
$PY - <<'EOF'
from Bio.PDB import PDBParser, MMCIFIO
s = PDBParser(QUIET=True).get_structure('smc', '1A8O_smc_obabel.pdb')
w = MMCIFIO(); w.set_structure(s); w.save('1A8O_smc_obabel_biopython.cif')
EOF

# Hydrogens in the names of older files, by hand: residues 44-50 of 1d3z's
# first model with the digit of a hydrogen name in front (HD11 -> 1HD1; a
# methylene's HB2, HB3 -> 1HB, 2HB; a methyl's HB1-3 -> 1HB-3HB) and the
# amide H named HN, as CHARMM writes it; then its mmCIF form by gemmi's
# command-line converter.
$PY - <<'EOF2'
import re
def old(name, res):
    if name == 'H':
        return ' HN '
    m = re.fullmatch(r'H([A-Z])([1-3])([1-3])', name)
    if m:
        a, b, c = m.groups()
        if res == 'ILE' and a == 'G' and b == '1':
            c = str(int(c) - 1)
        return c + 'H' + a + b
    m = re.fullmatch(r'H([A-Z])([1-3])', name)
    if m and not (res == 'PHE' and m.group(1) != 'B'):
        a, d = m.groups()
        methyl = (res, a) in (('ALA', 'B'), ('LYS', 'Z'))
        return '%dH%s ' % (int(d) if methyl else int(d) - 1, a)
    return None
out = ['CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1          \n']
for l in open('../1d3z.pdb'):
    if l.startswith('ENDMDL'):
        break
    if l.startswith('ATOM') and 44 <= int(l[22:26]) <= 50:
        new = old(l[12:16].strip(), l[17:20]) if l[76:78].strip() == 'H' else None
        out.append('ATOM  %5d %s%s' % (len(out), new or l[12:16], l[16:]))
out.append('TER   %5d      LEU A  50%54s\n' % (len(out), ''))
out.append('END%77s\n' % '')
open('old_h_names.pdb', 'w').writelines(out)
EOF2
gemmi convert old_h_names.pdb old_h_names_gemmi.cif

# By hand: residues 19-21 of 1d3z's first model (PRO SER ASP) with one atom
# more in the serine, a carbon CX by its OG; and the same residues as a
# docking program writes a receptor, with its polar hydrogens only, typed
# HD in the element columns, the amide H named HN.
$PY - <<'EOF2'
rows = []
for l in open('../1d3z.pdb'):
    if l.startswith('ENDMDL'):
        break
    if l.startswith('ATOM') and 19 <= int(l[22:26]) <= 21:
        rows.append(l)
cryst = 'CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1          \n'
out = [cryst]
for l in rows:
    out.append(l)
    if l[12:16] == ' OG ':
        out.append(l[:12] + ' CX ' + l[16:30] + '%8.3f' % (float(l[30:38]) - 0.6) + l[38:76]
                   + ' C  \n')
out.append('END%77s\n' % '')
open('ser_extra_atom.pdb', 'w').writelines(out)
out = [cryst]
for l in rows:
    name = l[12:16]
    if l[76:78].strip() == 'H':
        if name not in (' H  ', ' HG '):
            continue
        l = l[:12] + (' HN ' if name == ' H  ' else name) + l[16:76] + 'HD  \n'
    out.append(l)
out.append('END%77s\n' % '')
open('docking_hd_hydrogens.pdb', 'w').writelines(out)
EOF2

# OpenMM's test model (python3-simtk, openmm/app/data/test.pdb, a frame of a
# simulation written by GROMACS' trjconv): no element columns, hydrogens
# named H1, HB1, HD11, waters HOH with OW, HW1, HW2.  Cut to LEU 1 to ASP 3
# and the first three waters.
$PY - <<'EOF2'
import os
import openmm.app
src = os.path.join(os.path.dirname(openmm.app.__file__), 'data', 'test.pdb')
out = []
for l in open(src):
    if l.startswith('ATOM'):
        num = int(l[22:26])
        if not (num <= 3 or 38 <= num <= 40):
            continue
    out.append(l)
open('openmm_test_cut.pdb', 'w').writelines(out)
EOF2

# Open Babel's mmCIF of two entries of several chains (2BEG: five chains of
# one peptide, each numbered 17-42; 1LCD: its first model, a protein chain
# and two DNA chains): no chain label, so every chain is one blank chain.
obabel -ipdb ../2BEG.pdb -ommcif -O 2BEG_obabel.cif
obabel -ipdb ../1LCD.pdb -l 1 -ommcif -O 1LCD_obabel.cif

# GROMACS' trjconv: the five chains of 2BEG as one frame, without chain
# letters and with one TER record, at the end.
echo 0 | gmx trjconv -f ../2BEG.pdb -s ../2BEG.pdb -o 2BEG_gmx.pdb

# gemmi's mmCIF of OpenMM's test model (a simulation frame, no chain letter)
# cut to the peptide and its first three waters (its chlorides, named Cl,
# left out): every row under the one label gemmi gives the blank chain.
$PY - <<'EOF2'
import gemmi, os, tempfile
src = '/usr/lib/python3/dist-packages/openmm/app/data/test.pdb'
out, waters, prev = [], 0, None
for l in open(src):
    if l.startswith(('ATOM', 'HETATM')):
        if l[17:20].strip() == 'Cl':
            continue
        if l[17:20] == 'HOH':
            if l[22:27] != prev:
                waters, prev = waters + 1, l[22:27]
            if waters > 3:
                continue
    elif not l.startswith(('CRYST1', 'HEADER', 'REMARK', 'TER', 'END', 'MODEL', 'ENDMDL')):
        continue
    out.append(l)
tmp = tempfile.mkdtemp()
cut = os.path.join(tmp, 'test.pdb')
open(cut, 'w').writelines(out)
st = gemmi.read_structure(cut)
st.setup_entities()
st.make_mmcif_document().write_file('openmm_test_gemmi.cif')
os.remove(cut)
os.rmdir(tmp)
EOF2

# capped.pdb with the methyl hydrogens of both caps as an AMBER-made model
# names them, HH31, HH32 and HH33 written from column 13: each 1.09 A from
# the cap's methyl carbon, tetrahedral (109.5 degrees from the bond to its
# neighbour) and staggered against the neighbour's other atom (ACE's O,
# THR 7's C for NME); atoms renumbered.
$PY - <<'EOF2'
import math
def sub(a, b): return [a[i] - b[i] for i in range(3)]
def unit(a):
    n = math.sqrt(sum(x * x for x in a))
    return [x / n for x in a]
def cross(a, b): return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]
def methyl(c, bonded, other):
    u = unit(sub(c, bonded))
    v = unit(cross(u, sub(other, bonded)))
    w = cross(u, v)
    t = math.radians(109.5)
    out = []
    for k in range(3):
        p = math.radians(60 + 120 * k)
        d = [-math.cos(t) * u[i] + math.sin(t) * (math.cos(p) * v[i] + math.sin(p) * w[i]) for i in range(3)]
        out.append([c[i] + 1.09 * d[i] for i in range(3)])
    return out
lines = open('capped.pdb').read().splitlines()
xyz = {}
for l in lines:
    if l.startswith('ATOM'):
        xyz[(int(l[22:26]), l[12:16].strip())] = [float(l[30:38]), float(l[38:46]), float(l[46:54])]
caps = {(1, 'CH3'): ('ACE', methyl(xyz[(1, 'CH3')], xyz[(1, 'C')], xyz[(1, 'O')])),
        (8, 'C'): ('NME', methyl(xyz[(8, 'C')], xyz[(8, 'N')], xyz[(7, 'C')]))}
out, serial = [], 0
for l in lines:
    if not l.startswith('ATOM'):
        if l.startswith('CRYST1') or l.startswith('END'):
            out.append(l + '\n')
        continue
    serial += 1
    out.append(l[:6] + '%5d' % serial + l[11:] + '\n')
    key = (int(l[22:26]), l[12:16].strip())
    if key in caps:
        res, hs = caps[key]
        for k, h in enumerate(hs):
            serial += 1
            out.append('ATOM  %5d HH3%d %3s A%4d    %8.3f%8.3f%8.3f  1.00 10.00           H  \n'
                       % (serial, k + 1, res, key[0], h[0], h[1], h[2]))
open('capped_hh3.pdb', 'w').writelines(out)
EOF2

# One-letter RNA from the archive's 6ZU5 excerpt in ../cif_rna_mg_conn_primes.cif:
# U 845, A 846 and G 847 of chain L50 as ATOM records of chain A numbered 1-3,
# without the magnesium, and a 5' phosphate oxygen OP3 put 1.52 A from U's P,
# opposite its other three oxygens; then gemmi's mmCIF of it.
$PY - <<'EOF2'
import math
rows = [l.split() for l in open('../cif_rna_mg_conn_primes.cif')]
rows = [w for w in rows if len(w) == 18 and w[0].isdigit() and w[4] != 'MG']
out = ['CRYST1  100.000  100.000  100.000  90.00  90.00  90.00 P 1           1\n']
xyz = {w[2].strip('"'): [float(v) for v in w[9:12]] for w in rows if w[7] == '845'}
v = [3 * xyz['P'][i] - xyz['OP1'][i] - xyz['OP2'][i] - xyz["O5'"][i] for i in range(3)]
n = math.sqrt(sum(c * c for c in v))
op3 = [xyz['P'][i] + 1.52 * v[i] / n for i in range(3)]
def atom(name, res, num, p, b, el):
    atom.serial += 1
    return 'ATOM  %5d  %-3s %3s A%4d    %8.3f%8.3f%8.3f  1.00%6.2f          %2s\n' % (
        atom.serial, name, res, num, p[0], p[1], p[2], b, el)
atom.serial = 0
for w in rows:
    name, num = w[2].strip('"'), int(w[7]) - 844
    out.append(atom(name, w[4], num, [float(v) for v in w[9:12]], float(w[13]), w[1]))
    if num == 1 and name == 'OP2':
        out.append(atom('OP3', w[4], num, op3, float(w[13]), 'O'))
out += ['TER\n', 'END\n']
open('rna_uag.pdb', 'w').writelines(out)
EOF2
gemmi convert rna_uag.pdb rna_uag_gemmi.cif
# The same strand as CHARMM names it: residue names in columns 18-21, no
# chain letter, the segment in columns 73-76, no element columns.
python3 - <<'EOF2'
names = {'  U': 'URA ', '  A': 'ADE ', '  G': 'GUA '}
out = []
for l in open('rna_uag.pdb'):
    if l.startswith(('ATOM', 'HETATM')):
        l = l[:17] + names[l[17:20]] + ' ' + l[22:72].ljust(50) + 'RNAA' + '\n'
    out.append(l)
open('rna_uag_charmm.pdb', 'w').writelines(out)
EOF2

# The two frames of 1ubi_gromacs_two_frames.pdb (made by hand) with each
# frame's box after its model (MODEL, atoms, ENDMDL, CRYST1), as other
# trajectory writers lay them out.
awk '/^CRYST1/ { box = $0; next } { print } /^ENDMDL/ { print box }' \
  1ubi_gromacs_two_frames.pdb >1ubi_two_frames_box_after.pdb

# Two copies of 1ubi's residues 60-76 (chains A and B, B 40 A up in z),
# each with a zinc ZN 501 by its HIS 68, the ligands after both chains as
# the archive orders them; the same frame as GROMACS writes it from a run
# input (no chain letters, one TER record at its end), each zinc at 501
# one after the other; and Open Babel's mmCIF of that frame.
$PY - <<'EOF2'
rows = [l for l in open('../1ubi.pdb') if l.startswith('ATOM') and int(l[22:26]) >= 60]
zn = 'HETATM    0 ZN    ZN A 501      20.436  36.800  17.427  1.00 20.00          ZN\n'
def moved(l, chain, dz, serial):
    z = float(l[46:54]) + dz
    return l[:6] + '%5d' % serial + l[11:21] + chain + l[22:46] + '%8.3f' % z + l[54:]
for name, letters in (('ubi_zn_pair.pdb', 'AB'), ('ubi_zn_pair_gmx.pdb', '  ')):
    out = ['CRYST1  100.000  100.000  100.000  90.00  90.00  90.00 P 1           1\n']
    serial = 0
    for chain, dz in zip(letters, (0.0, 40.0)):
        for l in rows:
            serial += 1
            out.append(moved(l, chain, dz, serial))
        if chain != ' ':
            serial += 1
            out.append('TER   %5d      GLY %s  76\n' % (serial, chain))
    for chain, dz in zip(letters, (0.0, 40.0)):
        serial += 1
        out.append(moved(zn, chain, dz, serial))
    out += ['TER\n'] if letters == '  ' else []
    open(name, 'w').writelines(out + ['END\n'])
EOF2
obabel ubi_zn_pair_gmx.pdb -ommcif -O ubi_zn_pair_gmx_obabel.cif

# By hand: 1LCD's DNA numbered as the nucleosome entries number theirs,
# through 0 and below it (strand B -5 to 5, strand C -73 to -63), its sodium
# at -99 (gemmi 0.5.7 reads no number at -999) and the waters of chain C numbered on past 9999 to 0, as
# simulation programs wrap them; and gemmi's mmCIF of that file.
$PY - <<'EOF2'
waters = iter([9997, 9998, 9999, 0, 1, 2, 3, 4, 5, 6, 7])
out, number = [], {}
for l in open('../1LCD.pdb'):
    if l.startswith('CRYST1'):
        out.append(l)
    elif l.startswith('ENDMDL'):
        break
    elif l.startswith(('ATOM', 'HETATM', 'TER')) and l[21] in 'BC':
        name, n = l[17:20], int(l[22:26])
        if name == 'HOH' and l[21] == 'B':
            continue
        if name == 'HOH':
            if l[12:16] == ' O  ':
                number[n] = next(waters)
            n = number[n]
        elif name == ' NA':
            n = -99
        else:
            n -= 6 if l[21] == 'B' else 74
        out.append(l[:22] + '%4d' % n + l[26:])
out.append('END%77s\n' % '')
open('1LCD_dna_below_1.pdb', 'w').writelines(out)
EOF2
gemmi convert 1LCD_dna_below_1.pdb 1LCD_dna_below_1_gemmi.cif

# By hand: 1ubi with five of the dummy residues by which OPM marks the two
# planes of a membrane, each an N and an O 26.8 A apart at one number,
# without chain letter: three as OPM writes them (no occupancy, B factor or
# element), two as ProDy writes them again (with the element N or O); and
# gemmi's mmCIF of that file.
$PY - <<'EOF2'
out = [l for l in open('../1ubi.pdb') if not l.startswith(('END', 'MASTER', 'CONECT'))]
serial = 685
for k, (x, y) in enumerate(((-24, -8), (-24, -6), (-22, -8), (-22, -6), (-20, -8))):
    for name, z in (('N', 13.4), ('O', -13.4)):
        if k < 3:
            out.append('HETATM%5d    %s DUM  %4d    %8.3f%8.3f%8.3f\n' % (serial, name, 158 + k, x, y, z))
        else:
            out.append('HETATM%5d  %-3s DUM  %4d    %8.3f%8.3f%8.3f  1.00  0.00          %2s  \n'
                       % (serial, name, 158 + k, x, y, z, name))
        serial += 1
open('opm_dum.pdb', 'w').writelines(out + ['END%77s\n' % ''])
EOF2
gemmi convert opm_dum.pdb opm_dum_gemmi.cif
