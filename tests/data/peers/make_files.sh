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
