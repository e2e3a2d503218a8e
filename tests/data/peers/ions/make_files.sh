#!/bin/sh
# Writes the files of this directory again (see README.md) with GROMACS
# (Debian bookworm package gromacs 2022.5), gemmi (the command-line `gemmi`,
# 0.5.7) and ProDy (python3-prody 2.3.1, run with the system's python3) from
# ../../1ubi.pdb and ../../cif_rna_mg_conn_primes.cif.  Run it from this directory:
# sh make_files.sh (it is not part of the build).
set -e
PY=/usr/bin/python3
W=$(mktemp -d)
trap 'rm -rf "$W"' EXIT

# GROMACS: ubiquitin without its waters, solvated in a box 0.3 nm past the
# protein, neutralised and brought to 0.15 M NaCl by genion, written as a
# PDB file by editconf.  The ions stand as " NA " and " CL " from column 14,
# each a residue of its own, without element columns.  Cut to the protein,
# its first ten waters and every ion.
grep -v HOH ../../1ubi.pdb >"$W/prot.pdb"
(
  cd "$W"
  gmx -quiet pdb2gmx -f prot.pdb -o p.gro -p topol.top -ff amber99sb-ildn -water tip3p -ignh
  gmx -quiet editconf -f p.gro -o box.gro -c -d 0.3 -bt cubic
  gmx -quiet solvate -cp box.gro -cs spc216.gro -o solv.gro -p topol.top
  printf 'integrator=steep\nnsteps=0\ncutoff-scheme=Verlet\n' >ions.mdp
  gmx -quiet grompp -f ions.mdp -c solv.gro -p topol.top -o ions.tpr -maxwarn 2
  echo SOL | gmx -quiet genion -s ions.tpr -o ions.gro -p topol.top -pname NA -nname CL -neutral -conc 0.15 -seed 7
  gmx -quiet editconf -f ions.gro -o ions.pdb
) >"$W/gmx.log" 2>&1
awk '/ SOL / { if (++n > 30) next } { print }' "$W/ions.pdb" >1ubi_gromacs_ions.pdb

# The same ions as OpenMM's PDB writer names them, Na and Cl from column 13,
# in a file cut at column 66 (by hand, a Python block): the waters and ions
# of 1ubi_gromacs_ions.pdb.
$PY - <<'PYEOF'
out = []
for l in open('1ubi_gromacs_ions.pdb'):
    if l.startswith('ATOM') and l[17:20] in ('SOL', ' NA', ' CL', 'NA ', 'CL '):
        name = l[12:16]
        if name.strip() in ('NA', 'CL'):
            name = (name.strip()[0] + name.strip()[1].lower()).ljust(4)
        out.append((l[:12] + name + l[16:66]).rstrip() + '\n')
    elif l.startswith(('CRYST1', 'TER', 'END')):
        out.append(l)
open('openmm_ions_cut.pdb', 'w').writelines(out)
PYEOF

# A magnesium beside an adenosine of 6ZU5 in the archive's layout (gemmi
# writes MG from column 13 with its element columns, the chain L50
# shortened to L), and as ProDy writes
# it from that file cut at column 66: " MG " from column 14, no element.
gemmi convert --shorten ../../cif_rna_mg_conn_primes.cif rna_mg_archive.pdb
awk '/^(ATOM|HETATM)/ { print substr($0, 1, 66); next } { print }' rna_mg_archive.pdb >"$W/cut.pdb"
$PY - "$W/cut.pdb" <<'PYEOF'
import sys
import prody
prody.confProDy(verbosity='none')
prody.writePDB('rna_mg_prody.pdb', prody.parsePDB(sys.argv[1]))
PYEOF
