#!/bin/sh
# Writes the files of this directory again (see README.md) with gemmi 0.5.7
# and Open Babel 3.1.1 (Debian bookworm packages gemmi and openbabel).  Run
# it from this directory with the archive's mmCIF of the entry 1AS5 as its
# argument (the project's shared data hold it): sh make_files.sh PATH/1AS5.cif
set -e
cp "$1" 1AS5.cif

# The entry as PDB, then Open Babel's mmCIF of it (Open Babel names the
# data block and the file after its input, so the PDB file keeps the entry's
# name).  Open Babel's kekulization warnings go to standard error.
gemmi convert 1AS5.cif 1AS5.pdb
obabel -ipdb 1AS5.pdb -ommcif >1AS5_obabel.cif
rm 1AS5.cif 1AS5.pdb

# CYS 4 to LEU 6 of the first two models, cut from the entry's own mmCIF
# (author number and model number are the 22nd and 26th values of its atom
# rows), then Open Babel's mmCIF of that: one data block, no chain label, no
# author's chain, both models' atoms in it.  The same of HIS 1 to LEU 6,
# whose hydroxyprolines part the chain.
awk '!/^(ATOM|HETATM) / || ($22 >= 4 && $22 <= 6 && $26 <= 2)' "$1" >1AS5_cys4_leu6.cif
obabel -immcif 1AS5_cys4_leu6.cif -ommcif >1AS5_cys4_leu6_obabel.cif
awk '!/^(ATOM|HETATM) / || ($22 <= 6 && $26 <= 2)' "$1" >1AS5_his1_leu6.cif
obabel -immcif 1AS5_his1_leu6.cif -ommcif >1AS5_his1_leu6_obabel.cif
rm 1AS5_cys4_leu6.cif 1AS5_his1_leu6.cif
