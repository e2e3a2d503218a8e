#!/bin/sh
# Writes the files of this directory again with the programs named in
# README.md (Debian packages; run with the system's python3).  Run it from
# this directory: sh make_files.sh
set -e
PY=/usr/bin/python3
FS=/usr/share/freesasa/test-data

# Ubiquitin as freesasa ships it, and with HIS 68 under AMBER's name HID.
cp $FS/1ubq.pdb 1ubq.pdb
sed -E '/^ATOM/s/HIS A  68/HID A  68/' 1ubq.pdb >1ubq_hid.pdb
pdb_tocif 1ubq_hid.pdb >1ubq_hid_pdb_tocif.cif

# pdb2pqr's PDB output under AMBER's names (HID, HIE, CYX, WAT).  The force
# field (--ff AMBER, CHARMM or PARSE) changes only the charges of the .pqr
# file: the three PDB outputs are one file, byte for byte.
pdb2pqr --ff=AMBER --ffout=AMBER --keep-chain --pdb-output 1ubq_pdb2pqr_amber.pdb \
  1ubq.pdb /tmp/1ubq_amber.pqr >/dev/null 2>&1
# 1a0q's light chain, residues 1-100 (CYX 23 and 88, HID 38 and 49), cut
# from the output with the entry's CRYST1 record put first (pdb2pqr writes
# none).
pdb2pqr --ff=AMBER --ffout=AMBER --keep-chain --pdb-output /tmp/1a0q_amber.pdb \
  $FS/1a0q.pdb /tmp/1a0q_amber.pqr >/dev/null 2>&1
{ grep '^CRYST1' $FS/1a0q.pdb
  awk '/^ATOM/ && substr($0, 22, 1) == "L" && substr($0, 23, 4) + 0 <= 100' /tmp/1a0q_amber.pdb
  echo END; } >1a0q_L_1_100_pdb2pqr_amber.pdb

# PDBFixer: 1ubi with its missing hydrogens, HIS 68 named HIE (the
# tautomer PDBFixer gave it) before OpenMM's PDB writer writes it.
$PY - <<'PYEOF'
from pdbfixer import PDBFixer
from openmm.app import PDBFile
f = PDBFixer(filename='../../1ubi.pdb')
f.findMissingResidues(); f.findNonstandardResidues(); f.findMissingAtoms(); f.addMissingAtoms()
f.addMissingHydrogens(7.0)
for r in f.topology.residues():
    if r.name == 'HIS' and r.id == '68':
        r.name = 'HIE'
with open('1ubi_pdbfixer_hie.pdb', 'w') as out:
    PDBFile.writeFile(f.topology, f.positions, out, keepIds=True)
PYEOF

# pdb-tools: 1A8O sorted, which moves its HETATM selenomethionines to the
# end of the file.
pdb_sort ../../1A8O.pdb >1A8O_pdb_sort.pdb

# 2jo4's first model (its ACE and NH2 caps as HETATM), the file cut after
# the first ENDMDL, and its mmCIF form.
awk '{ print } /^ENDMDL/ { print "END"; exit }' $FS/2jo4.pdb >2jo4_model1.pdb
pdb_tocif 2jo4_model1.pdb >2jo4_model1_pdb_tocif.cif
