#!/bin/sh
# Writes the files of this directory again (see README.md) with pdb-tools
# (Debian bookworm package python3-pdbtools 2.5.0) from an entry of the test
# data and from the example files of theseus (package theseus-examples,
# installed under /usr/share/doc/theseus/examples, gzipped).  Run it from
# this directory: sh make_files.sh
set -e
EX=/usr/share/doc/theseus/examples

# 1LCD's first model, its DNA chains B and C, renumbered by pdb_reres: the
# residues count on from 1 across both chains, so the sodium NA C 12 becomes
# NA C 23, while the LINK records still name NA C 12.
pdb_selmodel -1 ../../1LCD.pdb | pdb_selchain -B,C | pdb_reres >1LCD_BC_reres.pdb

# The cadmium and chloride sites of 1ur5 chain A: GLU 178, ASP 200, CD 1309,
# CD 1311 and CL 1312.
zcat $EX/ldh/1ur5_A.pdb.gz | pdb_selres -178,200,1309,1311,1312 >1ur5_A_cd_sites.pdb

# The disulfide of 1GVZ chain A between CYS 136 and CYS 201, whose SG is
# split into conformers A (0.70) and B (0.30).
zcat $EX/trypsins/1GVZ_A.pdb.gz | pdb_selres -136,201 >1GVZ_A_cys136_201.pdb
