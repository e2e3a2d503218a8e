#!/bin/sh
# Writes the files of this directory again (see README.md).  Run it from
# this directory: sh make_files.sh
set -e
PY=/usr/bin/python3

# A CHARMM model of actin as APBS ships it (no chain letter, every record
# ATOM, no element columns), cut by hand to its last residues ARG 372 to
# PHE 375 and the terminal patch CTE 375 (C, OT1, OT2), then the ligand
# ADP 1 and its calcium CA 1; the lines are copied whole, with the 1 A cell
# in P 1 put first (the model has no CRYST1 record).
$PY - <<'EOF2'
src = '/usr/share/apbs/examples/actin-dimer/UHBD/prot3.pdb'
out = ['CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1          \n']
for l in open(src):
    res, num = l[17:21].strip(), int(l[22:26])
    if res in ('ADP', 'CA') or (372 <= num <= 375 and res not in ('ADP', 'CA')):
        out.append(l)
open('actin_end_adp_ca.pdb', 'w').writelines(out)
EOF2

# The NMR entry 2jo4 as freesasa ships it, cut by hand to its first two
# models, the first four residues of each of its chains A to D and the
# last (ACE 1, 2-4 and NH2 22 of A, ACE 23, 24-26 and NH2 44 of B, ...),
# each chain ended by its TER record after the cap, as the entry writes it:
# once with the MODEL and ENDMDL records, once without them (the two models
# one after the other).
$PY - <<'EOF2'
src = '/usr/share/freesasa/test-data/2jo4.pdb'
first = {'A': 1, 'B': 23, 'C': 45, 'D': 67}
cryst, models, model = None, [], None
for l in open(src):
    if l.startswith('CRYST1'):
        cryst = l
    elif l.startswith('MODEL'):
        if len(models) == 2:
            break
        model = [l]
        models.append(model)
    elif model is not None and l.startswith(('ATOM', 'HETATM')):
        if int(l[22:26]) - first[l[21]] in (0, 1, 2, 3, 21):
            model.append(l)
    elif model is not None and l.startswith('TER'):
        last = model[-1]
        model.append('TER   %5d      %s %s%4d%54s\n' % (int(last[6:11]) + 1, last[17:20], last[21],
                                                      int(last[22:26]), ''))
    elif model is not None and l.startswith('ENDMDL'):
        model.append(l)
with_models = [cryst] + models[0] + models[1] + ['END%77s\n' % '']
open('2jo4_two_models.pdb', 'w').writelines(with_models)
bare = [l for l in with_models if not l.startswith(('MODEL', 'ENDMDL'))]
open('2jo4_two_models_one_after_the_other.pdb', 'w').writelines(bare)
EOF2
# pdb-tools: pdb_tidy drops the ENDMDL records, and pdb_tocif then writes
# every row in model 1.
pdb_tidy 2jo4_two_models.pdb > 2jo4_two_models_tidy.pdb
pdb_tocif 2jo4_two_models_tidy.pdb > 2jo4_two_models_tidy_tocif.cif

# Segments of a blank chain as CHARMM-GUI writes them, by hand from the
# solvated model of ../make_files.sh: its two copies of 1ubi's chain
# (segments PROA and PROB, each numbered from 1, no TER record between them)
# with the histidine named HSD and the C-terminal oxygens O and OXT of
# GLY 76 named OT1 and OT2, then its first 20 waters TIP3 (segment SOLV) and
# its four ions CLA; the atoms numbered again.
$PY - <<'EOF2'
out, serial = [], 0
for l in open('../1ubi_charmm_solvated.pdb'):
    if not l.startswith('ATOM'):
        out.append(l)
        continue
    res, num, name = l[17:21], int(l[22:26]), l[12:16]
    if res == 'TIP3' and num > 20:
        continue
    if res == 'HIS ':
        res = 'HSD '
    if res == 'GLY ' and num == 76:
        name = {' O  ': ' OT1', ' OXT': ' OT2'}.get(name, name)
    serial += 1
    out.append('ATOM  %5d %s %s%s' % (serial, name, res, l[21:]))
open('1ubi_charmm_gui_segments.pdb', 'w').writelines(out)
EOF2

# Chain names of two characters in columns 21-22, as gemmi writes them: the
# first model of 1LCD's mmCIF with its author chains B, C and A (in the
# order of the file) renamed by hand LA, LB and A (the names of three
# chains of 6ZU5: each of them numbered from 1), in its atom rows and its
# connections (the sodium's LINK records), then converted.
$PY - <<'EOF2'
out, items, conn, names = [], [], [], {'B': 'LA', 'C': 'LB', 'A': 'A'}
for l in open('../../cif_1LCD.cif'):
    f = l.split()
    if l.startswith('_atom_site.'):
        items.append(l.strip())
    if l.startswith('_struct_conn.'):
        conn.append(l.strip())
    if l.startswith(('ATOM', 'HETATM')):
        if f[items.index('_atom_site.pdbx_PDB_model_num')] != '1':
            continue
        k = items.index('_atom_site.auth_asym_id')
        f[k] = names[f[k]]
        l = ' '.join(f) + '\n'
    elif l.startswith(('metalc', 'hydrog')) and len(f) == len(conn):
        for item in ('ptnr1_auth_asym_id', 'ptnr2_auth_asym_id'):
            k = conn.index('_struct_conn.' + item)
            f[k] = names[f[k]]
        l = ' '.join(f) + '\n'
    out.append(l)
open('1LCD_two_character_chains.cif', 'w').writelines(out)
EOF2
gemmi convert 1LCD_two_character_chains.cif 1LCD_two_character_chains.pdb
rm 1LCD_two_character_chains.cif

# Segments over two chain letters without TER records, and TER records before
# a piece that begins with a hydrogen (README.md).
$PY - <<'EOF2'
# Segments over two chain letters without TER; GLY-GLY pieces after TER
# starting with a hydrogen; capped peptides in the order Amber writes them.
ubi = [l for l in open('../../1ubi.pdb') if l.startswith('ATOM')]
cryst = 'CRYST1   50.000   60.000   70.000  90.00  90.00  90.00 P 1           1          \n'

def atom(serial, l, chain, num, seg):
    return 'ATOM  %5d%s%s%4d%s%-4s%s' % (serial, l[11:21], chain, num, l[26:72], seg, l[76:])

out, serial = [cryst], 0
for chain, seg, first, last in (('A', 'PROA', 1, 9), ('B', 'PROA', 21, 30), ('C', 'PROB', 41, 45)):
    for l in ubi:
        n = int(l[22:26])
        if first <= n <= last:
            serial += 1
            out.append(atom(serial, l, chain, n - first + 1, seg))
out.append('END' + ' ' * 77 + '\n')
open('segment_two_letters_no_ter.pdb', 'w').writelines(out)

# GLY 75-76 of 1d3z's first model, H of GLY 75 named H1; the second piece
# 12 A further along x, its H1 line first.
d3z = []
for l in open('../../1d3z.pdb'):
    if l.startswith('ENDMDL'):
        break
    if (l.startswith('ATOM') and l[17:20] == 'GLY' and int(l[22:26]) in (75, 76)
            and l[12:16] != ' OXT'):
        d3z.append(l)

def moved(l, dx):
    return l[:30] + '%8.3f' % (float(l[30:38]) + dx) + l[38:]

def gly_pieces(second_first):
    out, serial = [cryst], 0
    for piece, dx in ((0, 0.0), (1, 12.0)):
        lines = []
        for l in d3z:
            n = int(l[22:26]) - 74 + (second_first - 1 if piece else 0)
            name = ' H1 ' if l[12:16] == ' H  ' and int(l[22:26]) == 75 else l[12:16]
            lines.append(l[:12] + name + l[16:21] + ' ' + '%4d' % n + l[26:])
        if piece:
            h1 = [l for l in lines if l[12:16] == ' H1 ']
            lines = h1 + [l for l in lines if l[12:16] != ' H1 ']
        for l in lines:
            serial += 1
            out.append('ATOM  %5d' % serial + moved(l, dx)[11:])
        serial += 1
        last = out[-1]
        out.append('TER   %5d      %s  %4d%54s\n' % (serial, last[17:20], int(last[22:26]), ''))
    out.append('END' + ' ' * 77 + '\n')
    return out

open('gly_gly_h1_after_ter.pdb', 'w').writelines(gly_pieces(1))
open('gly_gly_h1_after_ter_numbered_on.pdb', 'w').writelines(gly_pieces(3))

# The capped chain of ../capped_hh3.pdb twice, as Amber's tools write a
# capped peptide: no chain letter, the cap's methyl hydrogen HH31 first,
# each copy numbered from 1, a TER record after each; the second copy
# 20 A further along x.
cap = [l for l in open('../capped_hh3.pdb') if l.startswith('ATOM')]
ace = {l[12:16]: l for l in cap if l[17:20] == 'ACE'}
order = [ace[n] for n in ('HH31', ' CH3', 'HH32', 'HH33', ' C  ', ' O  ')]
chain = order + [l for l in cap if l[17:20] != 'ACE']
out, serial = [cryst], 0
for dx in (0.0, 20.0):
    for l in chain:
        serial += 1
        out.append('ATOM  %5d' % serial + moved(l[:21] + ' ' + l[22:], dx)[11:])
    serial += 1
    last = out[-1]
    out.append('TER   %5d      %s  %4d%54s\n' % (serial, last[17:20], int(last[22:26]), ''))
out.append('END' + ' ' * 77 + '\n')
open('capped_twice_cap_hydrogen_first.pdb', 'w').writelines(out)
EOF2
